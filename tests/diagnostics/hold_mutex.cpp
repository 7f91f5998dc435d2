// hold_mutex.cpp: holds a named mutex the way a running capture application does, for the diagnostics
// tests. usage: hold_mutex NAME SECONDS. Prints "held" once it owns the mutex and exits after SECONDS.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_mutex NAME SECONDS\n");
    return 2;
  }
  HANDLE mutex = CreateMutexW(nullptr, TRUE, argv[1]);
  if (!mutex) {
    std::fprintf(stderr, "CreateMutex failed with %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}
