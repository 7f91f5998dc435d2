// simple_logger_platform_win.cpp: local time and thread identifier on Windows. Any thread.
#include "simple_logger_platform.h"

#include <windows.h>

namespace SimpleLogger {

LocalTime localNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

unsigned long currentThreadId() { return GetCurrentThreadId(); }

}  // namespace SimpleLogger
