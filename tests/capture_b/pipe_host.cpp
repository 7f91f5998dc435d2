// pipe_host.cpp: the host's end of velmar-capture-b's pipes for tests. Creates the two pipes with the
// host's PipeReader, starts the capture application with "-p" and "-bp" added to the given arguments,
// waits for it (bounded), and writes what each pipe carried to files.
//
//   capture_b_pipe_host OUT_DIR LIMIT_SECONDS [--no-bmp-pipe | --default-names] -- PROGRAM [ARGS...]
//
// --no-bmp-pipe leaves "-bp" out; --default-names serves the fixed names "\\.\pipe\wsq" and
// "\\.\pipe\bmp" and adds neither option.
// OUT_DIR receives wsq.bin and bmp.bin (the streams), and result.txt with "exit=N", "wsq_bytes=N",
// "bmp_bytes=N", "bmp_client=0|1" (whether the program opened the image pipe at all).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "pipe_reader_win.h"
#include "test_user_folders_win.h"
#include "win/unique_handle.h"

namespace {

struct PipeEnd {
  PipeReader reader;
  std::vector<std::uint8_t> bytes;
  std::string error;
  explicit PipeEnd(const std::string& name) : reader(name) {}

  void serve() {
    try {
      reader.waitForClient();
      reader.read(bytes);
      reader.close();
    } catch (const std::exception& e) {
      error = e.what();
    }
  }

  // Called after the program has ended. A pipe it opened is busy or gone by now; one it never opened
  // still waits for a client, so opening it ourselves succeeds and releases the reader.
  void release(bool& untouched) {
    velmar::win::UniqueHandle h(CreateFileA(reader.name().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    untouched = static_cast<bool>(h);
  }
};

void save(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
}

std::wstring quote(const std::wstring& s) { return L"\"" + s + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fputs("usage: capture_b_pipe_host OUT_DIR LIMIT_SECONDS [--no-bmp-pipe] -- PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  const std::wstring out = argv[1];
  velmar::testing::applyTestUserFolders();  // the program inherits the test's own folders
  const DWORD limitMs = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
  int i = 3;
  bool bmpPipe = true, defaultNames = false;
  if (std::wstring(argv[i]) == L"--no-bmp-pipe") {
    bmpPipe = false;
    ++i;
  } else if (std::wstring(argv[i]) == L"--default-names") {
    defaultNames = true;
    ++i;
  }
  if (std::wstring(argv[i]) != L"--") return 2;
  ++i;

  const std::string tag = std::to_string(GetCurrentProcessId());
  PipeEnd wsq(defaultNames ? "\\\\.\\pipe\\wsq" : "\\\\.\\pipe\\capb-wsq-" + tag),
      bmp(defaultNames ? "\\\\.\\pipe\\bmp" : "\\\\.\\pipe\\capb-bmp-" + tag);
  try {
    wsq.reader.create();
    bmp.reader.create();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pipe_host: %s\n", e.what());
    return 2;
  }
  std::thread wsqThread([&] { wsq.serve(); }), bmpThread([&] { bmp.serve(); });

  std::wstring command = quote(argv[i]);
  for (int k = i + 1; k < argc; ++k) command += L" " + quote(argv[k]);
  if (!defaultNames) command += L" -p " + quote(std::wstring(wsq.reader.name().begin(), wsq.reader.name().end()));
  if (bmpPipe && !defaultNames) command += L" -bp " + quote(std::wstring(bmp.reader.name().begin(), bmp.reader.name().end()));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> line(command.begin(), command.end());
  line.push_back(L'\0');
  DWORD exitCode = 9999;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "pipe_host: CreateProcess failed with %lu\n", GetLastError());
  } else {
    velmar::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(process.get(), limitMs) != WAIT_OBJECT_0) {
      std::fputs("pipe_host: the program did not end in time; ended it\n", stderr);
      TerminateProcess(process.get(), 9998);
      WaitForSingleObject(process.get(), 5000);
    }
    GetExitCodeProcess(process.get(), &exitCode);
  }

  bool wsqUntouched = false, bmpUntouched = false;
  wsq.release(wsqUntouched);
  bmp.release(bmpUntouched);
  wsqThread.join();
  bmpThread.join();

  save(out + L"\\wsq.bin", wsq.bytes);
  save(out + L"\\bmp.bin", bmp.bytes);
  std::ofstream result((out + L"\\result.txt").c_str());
  result << "exit=" << exitCode << "\nwsq_bytes=" << wsq.bytes.size() << "\nbmp_bytes=" << bmp.bytes.size()
         << "\nwsq_client=" << (wsqUntouched ? 0 : 1) << "\nbmp_client=" << (bmpUntouched ? 0 : 1) << "\n";
  if (!wsq.error.empty()) result << "wsq_error=" << wsq.error << "\n";
  if (!bmp.error.empty()) result << "bmp_error=" << bmp.error << "\n";
  return 0;
}
