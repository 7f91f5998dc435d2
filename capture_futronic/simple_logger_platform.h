// simple_logger_platform.h: the two things the capture log needs from the system, the local time and
// the calling thread's identifier (simple_logger_platform_win.cpp / _posix.cpp). Any thread.
#pragma once

#include "simple_logger.h"

namespace SimpleLogger {

LocalTime localNow();
unsigned long currentThreadId();

}  // namespace SimpleLogger
