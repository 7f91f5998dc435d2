// soak_caller.cpp: many captures through velmar-device.dll, loaded as an integrator's program loads it,
// with real capture applications; for scripts/soak (not a test). Captures go round the applications
// given, each with its own scenario file for the virtual scanners (VIRTUAL_SCANNER_SCENARIO).
//
// usage: soak_caller DLL COUNT APPLICATION SCENARIO [APPLICATION SCENARIO]...
// Output: a line for every capture that did not answer 0 with a JSON line carrying data, the process's
// open handles, threads and private bytes after 50, 500 and 1000 captures and after the last, and a
// summary line with the failures and the time per capture. Exit status 0 when every capture gave 0.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "process_counts_win.h"
#include "velmar_device.h"

namespace {

std::string narrow(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
  return out + "\"";
}

void printFigures(int done) {
  std::printf("after %d captures: handles %lu, threads %lu, private bytes %llu\n", done,
              velmar::testing::probeOpenHandles(), velmar::testing::threadCount(),
              static_cast<unsigned long long>(velmar::testing::privateBytes()));
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: soak_caller DLL COUNT APPLICATION SCENARIO [APPLICATION SCENARIO]...\n");
    return 2;
  }
  HMODULE dll = LoadLibraryW(argv[1]);
  if (dll == nullptr) {
    std::fprintf(stderr, "soak_caller: LoadLibraryW failed with %lu\n", GetLastError());
    return 2;
  }
  const auto captureJson = reinterpret_cast<captureJsonFunction>(reinterpret_cast<void*>(GetProcAddress(dll, "captureJson")));
  const auto freeJson = reinterpret_cast<freeJsonFunction>(reinterpret_cast<void*>(GetProcAddress(dll, "freeJson")));
  if (captureJson == nullptr || freeJson == nullptr) {
    std::fprintf(stderr, "soak_caller: the DLL lacks captureJson or freeJson\n");
    return 2;
  }
  const int count = _wtoi(argv[2]);
  struct Application {
    std::string request;
    std::wstring scenario;
  };
  std::vector<Application> applications;
  for (int i = 3; i + 1 < argc; i += 2) {
    applications.push_back({"{\"command\":" + jsonString(narrow(argv[i])) + ",\"message\":\"Coloque el dedo\"}", argv[i + 1]});
  }

  int failures = 0;
  std::vector<ULONGLONG> times;
  for (int i = 1; i <= count; ++i) {
    const Application& application = applications[static_cast<std::size_t>(i - 1) % applications.size()];
    SetEnvironmentVariableW(L"VIRTUAL_SCANNER_SCENARIO", application.scenario.c_str());
    char* line = nullptr;
    const ULONGLONG start = GetTickCount64();
    const std::int32_t code = captureJson(application.request.c_str(), &line);
    times.push_back(GetTickCount64() - start);
    const std::string text = line != nullptr ? line : "";
    freeJson(line);
    const bool whole = text.rfind("{\"wsq\":\"", 0) == 0 && text.compare(8, 1, "\"") != 0 &&
                       text.find("\",\"exitcode\":\"0\",\"error\":\"\",\"solution\":\"\"}") != std::string::npos;
    if (code != 0 || !whole) {
      ++failures;
      std::printf("capture %d (application %zu): code %d, line %.160s\n", i,
                  static_cast<std::size_t>(i - 1) % applications.size() + 1, static_cast<int>(code), text.c_str());
    }
    if (i == 50 || i == 500 || i == 1000 || i == count) printFigures(i);
  }
  std::sort(times.begin(), times.end());
  std::printf("%d captures, %d failures; ms per capture: min %llu, median %llu, max %llu\n", count, failures,
              times.empty() ? 0ull : times.front(), times.empty() ? 0ull : times[times.size() / 2],
              times.empty() ? 0ull : times.back());
  FreeLibrary(dll);
  return failures == 0 ? 0 : 1;
}
