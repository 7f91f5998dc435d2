// host_log.h: the one way host code writes a log line: a level and a text. What stands behind it (a
// file logger with its own writer thread) can change without touching the callers. Any thread may log.
#pragma once

#include <functional>
#include <string>

enum HostLogLevel : int {
  LOG_TRACE = 0,
  LOG_DEBUG = 1,
  LOG_INFO = 2,
  LOG_WARN = 3,
  LOG_ERROR = 4,
  LOG_ALARM = 5,
  LOG_FATAL = 6,
};

// Writes one line. Never throws: a line that cannot be written is dropped.
void hostLog(int level, const std::string& text) noexcept;

// Where lines go until the file logger takes over: a function called once per line, under a lock, so
// lines never interleave. An empty function drops lines (the default). Returns the previous sink.
using HostLogSink = std::function<void(int level, const std::string& text)>;
HostLogSink setHostLogSink(HostLogSink sink);
