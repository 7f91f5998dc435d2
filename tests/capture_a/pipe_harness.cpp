// pipe_harness.cpp: plays the host for one velmar-capture-a run. Serves the response and image pipes
// with the host's readPipe (and, with --side, the fixed side pipes "\\.\pipe\nfiq" and
// "\\.\pipe\fmd"), starts the program with "-p" and "-bp" added to the given arguments, waits for it
// within a limit, releases any pipe still waiting as the host does, and writes what arrived to files
// in OUTDIR (wsq.bin, bmp.bin, nfiq.bin, fmd.bin) and the exit code and run time to result.txt.
//
// usage: capture_a_harness OUTDIR [--side] [--limit SECONDS] [--tag NAME] -- PROGRAM [ARGS...]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "pipe_writer_win.h"
#include "read_pipe_win.h"
#include "test_user_folders_win.h"
#include "win/unique_handle.h"

namespace {

struct Served {
  std::string name;
  std::string file;
  std::vector<std::uint8_t> bytes;
  PipeProgress progress;
  std::thread reader;
};

std::string narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s.push_back(static_cast<char>(c));
  return s;
}

std::wstring quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: capture_a_harness OUTDIR [--side] [--limit SECONDS] [--tag NAME] -- PROGRAM [ARGS...]\n");
    return 2;
  }
  const std::string outDir = narrow(argv[1]);
  velmar::testing::applyTestUserFolders();  // the program inherits the test's own folders
  bool side = false;
  int limitSeconds = 60;
  std::string tag = "run";
  int i = 2;
  for (; i < argc && std::wstring(argv[i]) != L"--"; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--side") side = true;
    else if (a == L"--limit" && i + 1 < argc) limitSeconds = _wtoi(argv[++i]);
    else if (a == L"--tag" && i + 1 < argc) tag = narrow(argv[++i]);
  }
  if (i + 1 >= argc) {
    std::fprintf(stderr, "no program given\n");
    return 2;
  }
  const std::wstring program = argv[i + 1];
  std::wstring commandLine = quoted(program);
  for (int k = i + 2; k < argc; ++k) commandLine += L" " + quoted(argv[k]);

  const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + tag;
  std::vector<std::unique_ptr<Served>> pipes;
  auto serve = [&](std::string name, std::string file) {
    auto s = std::make_unique<Served>();
    s->name = std::move(name);
    s->file = outDir + "\\" + file;
    Served* raw = s.get();
    s->reader = std::thread([raw] { readPipe(raw->name, raw->bytes, &raw->progress); });
    pipes.push_back(std::move(s));
  };
  serve("\\\\.\\pipe\\velmar-capa-wsq-" + unique, "wsq.bin");
  serve("\\\\.\\pipe\\velmar-capa-bmp-" + unique, "bmp.bin");
  if (side) {
    serve("\\\\.\\pipe\\nfiq", "nfiq.bin");
    serve("\\\\.\\pipe\\fmd", "fmd.bin");
  }
  for (auto& p : pipes) p->progress.waitCreated(std::chrono::milliseconds(5000));

  commandLine += L" -p " + quoted(std::wstring(pipes[0]->name.begin(), pipes[0]->name.end()));
  commandLine += L" -bp " + quoted(std::wstring(pipes[1]->name.begin(), pipes[1]->name.end()));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "CreateProcess failed with %lu\n", GetLastError());
    for (auto& p : pipes) {
      PipeWriter w(p->name);
      try { w.connect(); w.close(); } catch (...) {}
      p->reader.join();
    }
    return 3;
  }
  velmar::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  DWORD exitCode = 0;
  bool timedOut = WaitForSingleObject(process.get(), static_cast<DWORD>(limitSeconds) * 1000) != WAIT_OBJECT_0;
  if (timedOut) TerminateProcess(process.get(), 99);
  WaitForSingleObject(process.get(), 5000);
  GetExitCodeProcess(process.get(), &exitCode);
  const long long elapsedMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();

  // As the host does: a reader still waiting for its client is released by a dummy connect.
  for (auto& p : pipes) {
    for (int tries = 0; tries < 20 && !p->progress.finished; ++tries) {
      if (p->progress.arrived == 0) {
        PipeWriter w(p->name);
        try {
          w.connect();
          w.close();
        } catch (...) {
        }
      }
      if (!p->progress.finished) Sleep(100);
    }
    p->reader.join();
  }
  bool ok = true;
  for (auto& p : pipes) ok = writeFile(p->file, p->bytes) && ok;
  std::ofstream result(outDir + "\\result.txt");
  result << "exit " << exitCode << "\nelapsed_ms " << elapsedMs << "\ntimed_out " << (timedOut ? 1 : 0) << "\n";
  for (auto& p : pipes) result << "bytes " << p->file.substr(outDir.size() + 1) << " " << p->bytes.size() << "\n";
  std::printf("exit %lu after %lld ms%s\n", exitCode, elapsedMs, timedOut ? " (killed: limit reached)" : "");
  return ok && !timedOut ? 0 : 4;
}
