// capture_loop.cpp: runs capture many times in one process with a real capture application, the way a
// caller that keeps the host loaded does, and prints the process's handle count, thread count and
// private bytes after the first, the middle and the last capture.
//
// usage: e2e_capture_loop COMMAND COUNT [--expect CODE] [--save DIR]
//   COMMAND   the capture application (Windows path), put into biodevice.command
//   COUNT     number of consecutive captures
//   --expect  the result every capture must give (default 0); a success must also carry a WSQ file
//             (starting with FF A0) and an 8-bit BMP whose size field matches
//   --save    writes the last capture's wsq.bin, bmp.bin and (for a success) line.json, the line
//             toJsonString makes of it
// Output: one "capture I: code C, wsq N bytes, bmp M bytes, T ms" line per capture, then the figures
// after the first, the middle and the last capture ("first handles=… open-handles=… threads=…
// private=… pagefile=… working-set=…", "middle …", "last …") and a "failures F" line. Exit status 0
// when every capture gave the expected result and neither the handle counts nor the thread count grew
// from the middle to the last capture.
#include <windows.h>
// The process-memory counters need the Windows types first.
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "device_exports.h"
#include "process_counts_win.h"

namespace {

struct Figures {
  DWORD handles = 0;       // GetProcessHandleCount (Wine answers 0)
  DWORD openHandles = 0;   // handle values the process can query, counted one by one
  DWORD threads = 0;
  SIZE_T privateBytes = 0;  // PrivateUsage
  SIZE_T pagefileBytes = 0;
  SIZE_T workingSet = 0;
};

Figures measure() {
  Figures f;
  GetProcessHandleCount(GetCurrentProcess(), &f.handles);
  f.openHandles = velmar::testing::probeOpenHandles();
  f.threads = velmar::testing::threadCount();
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    f.privateBytes = memory.PrivateUsage;
    f.pagefileBytes = memory.PagefileUsage;
    f.workingSet = memory.WorkingSetSize;
  }
  return f;
}

void print(const char* which, const Figures& f) {
  std::printf("%s handles=%lu open-handles=%lu threads=%lu private=%llu pagefile=%llu working-set=%llu\n", which,
              f.handles, f.openHandles, f.threads, static_cast<unsigned long long>(f.privateBytes),
              static_cast<unsigned long long>(f.pagefileBytes), static_cast<unsigned long long>(f.workingSet));
}

std::string narrow(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? static_cast<std::size_t>(n - 1) : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

void writeFile(const std::wstring& path, const void* data, std::size_t size) {
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// What a successful capture must carry: a WSQ file (start-of-image marker FF A0) and the BMP file of
// an 8-bit image whose size field matches (capture-a sends the 512 x 512 output, capture-b the
// reader's image at its own size).
std::string successFault(const biodeviceOutput& out) {
  if (out.wsq.size() < 2 || out.wsq[0] != 0xFF || out.wsq[1] != 0xA0) return "WSQ does not start with FF A0";
  if (out.bmp.size() < 54 || out.bmp[0] != 'B' || out.bmp[1] != 'M') return "BMP does not start with BM";
  if (le32(out.bmp, 2) != out.bmp.size()) return "BMP size field differs from the bytes received";
  if ((out.bmp[28] | out.bmp[29] << 8) != 8) return "BMP is not 8 bits per pixel";
  return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: e2e_capture_loop COMMAND COUNT [--expect CODE] [--save DIR]\n");
    return 2;
  }
  biodevice device;
  device.command = narrow(argv[1]);
  const int count = _wtoi(argv[2]);
  int expected = 0;
  std::wstring saveDir;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--expect") expected = _wtoi(argv[i + 1]);
    if (option == L"--save") saveDir = argv[i + 1];
  }

  // The same request the console program makes from a request line.
  biodeviceInput input;
  input.timeout = "15000";
  input.debugLevel = "4";

  int failures = 0;
  Figures first, middle, last;
  biodeviceOutput out;
  for (int i = 1; i <= count; ++i) {
    out = biodeviceOutput();
    const ULONGLONG start = GetTickCount64();
    const std::int32_t code = capture(device, input, out);
    const ULONGLONG elapsed = GetTickCount64() - start;
    std::string fault;
    if (code != out.exitCode) fault = "returned code differs from output.exitCode";
    else if (code != expected) fault = "unexpected code";
    else if (code == 0) fault = successFault(out);
    std::printf("capture %d: code %d, wsq %zu bytes, bmp %zu bytes, %llu ms%s%s\n", i, static_cast<int>(code),
                out.wsq.size(), out.bmp.size(), elapsed, fault.empty() ? "" : ": ", fault.c_str());
    std::fflush(stdout);
    if (!fault.empty()) ++failures;
    if (i == 1) first = measure();
    if (i == (count + 1) / 2) middle = measure();
    if (i == count) last = measure();
  }
  print("first", first);
  print("middle", middle);
  print("last", last);
  std::printf("failures %d\n", failures);

  if (!saveDir.empty()) {
    writeFile(saveDir + L"\\wsq.bin", out.wsq.data(), out.wsq.size());
    writeFile(saveDir + L"\\bmp.bin", out.bmp.data(), out.bmp.size());
    if (out.exitCode == 0) {
      std::string line;
      toJsonString(out, "0", line);
      writeFile(saveDir + L"\\line.json", line.data(), line.size());
    }
  }
  // The first captures may still create objects the system makes once per process (Wine adds a handle
  // of its own at some point); growth is judged over the second half of the run.
  const bool grew = count > 2 && (last.handles > middle.handles || last.openHandles > middle.openHandles ||
                                  last.threads > middle.threads);
  if (grew) std::printf("resources grew between the middle and the last capture\n");
  return failures == 0 && !grew ? 0 : 1;
}
