// simple_logger_platform_posix.cpp: local time and thread identifier on Linux (native unit tests).
// Any thread.
#include "simple_logger_platform.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

namespace SimpleLogger {

LocalTime localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

unsigned long currentThreadId() { return static_cast<unsigned long>(syscall(SYS_gettid)); }

}  // namespace SimpleLogger
