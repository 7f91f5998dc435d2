// log4z_exit_probe.cpp: a small program for the logger's tests. In the directory given as its first
// argument it sets up the main logger as the host does, writes the number of lines given as its
// second argument, and returns from main without stopping the logger. With a third argument
// "display" the lines are echoed on standard output as well.
#include <cwchar>
#include <string>

#include <windows.h>

#include "log4z.h"
#include "log4z_write.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || !SetCurrentDirectoryW(argv[1])) return 2;
  const long count = std::wcstol(argv[2], nullptr, 10);
  if (!velmar::log4z::startHostLog("./log-device-velmar")) return 3;
  if (argc > 3 && std::wcscmp(argv[3], L"display") == 0) {
    velmar::log4z::ILog4zManager::getInstance()->setDisplay(0, true);
  }
  for (long i = 0; i < count; ++i) {
    velmar::log4z::log4zWrite(velmar::log4z::LOG_INFO, "probe line " + std::to_string(i));
  }
  return 0;
}
