// log_data.h: LogData, the pooled record that carries one log line or one setter command from the
// calling thread to the writer thread, and the bounded operations that build a line's content.
// Portable. A record belongs to one thread at a time (the caller, the queue, then the writer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmar::log4z {

// Size of a record's content area. A finished line holds at most kLogContentSize - 1 bytes
// (CR LF included) so that a terminating NUL always fits.
constexpr int kLogContentSize = 8192;

// Record types: 0 is a line, 1 to 10 are the queued setter commands.
enum LogDataType : int {
  kLogLine = 0,
  kCommandEnable = 1,
  kCommandName = 2,
  kCommandPath = 3,
  kCommandLevel = 4,
  kCommandFileLine = 5,
  kCommandDisplay = 6,
  kCommandOutFile = 7,
  kCommandLimitSize = 8,
  kCommandMonthDir = 9,
  kCommandReserve = 10,
};

struct LogData {
  int loggerId = 0;
  int type = kLogLine;
  long long commandValue = 0;  // value of a command (bool, level, megabytes or seconds)
  int level = 0;
  std::int64_t seconds = 0;    // whole seconds since 1970, UTC
  int millis = 0;              // millisecond part of the time
  unsigned long threadId = 0;  // id of the thread that built the line
  int contentLength = 0;       // bytes used in content
  char content[kLogContentSize];
};

// Appends text to the content, as much as fits in the content area; returns the bytes taken.
std::size_t appendContent(LogData& record, std::string_view text);

// The part of a source path after its last '\' or '/'.
std::string_view sourceBaseName(std::string_view path);

// Appends " <base name of file>:<line>" (as much as fits).
void appendSourceLocation(LogData& record, std::string_view file, int line);

// Ends the content with CR LF. When fewer than 3 bytes remain, the content is first cut at
// kLogContentSize - 3 bytes, so every line ends in CR LF and a NUL follows it.
void finishLine(LogData& record);

}  // namespace velmar::log4z
