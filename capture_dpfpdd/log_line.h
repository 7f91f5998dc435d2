// log_line.h: the text of velmar-capture-b's log: file name, level tags, the line with its checksum
// column, and message formatting with its fall-back. Portable; the file itself is written by
// capture_log_win.cpp.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace capture_b {

enum LogLevel : int { LOG_LEVEL_ERROR = 0, LOG_LEVEL_WARNING = 1, LOG_LEVEL_INFO = 2, LOG_LEVEL_DEBUG = 3 };

// Longest message or line, in characters, without the terminator.
constexpr size_t kLogLineChars = 1024;

struct LocalTime {
  int year, month, day, hour, minute, second;
};

// "ERR", "WAR", "INF", "DEB"; two blanks for any other level.
const wchar_t* logLevelTag(int level);

// "logdev-YYYYMMDD.log".
std::wstring logFileName(const LocalTime& now);

// "YYYYMMDDThhmmss".
std::wstring logTime(const LocalTime& now);

// Checksum of a line: starts as the thread id, then value * 101 + each character (modulo 2^32).
uint32_t logChecksum(uint32_t threadId, const std::wstring& firstForm);

// The whole line: "%08X\t<time>\t%06X\t<tag>\t<message>\r\n", the checksum taken over the same line
// without its first column.
std::wstring logLine(const LocalTime& now, uint32_t threadId, int level, const std::wstring& message);

// The message made from a printf-style wide format (use %ls for wide strings); when formatting fails or
// the result is longer than 1024 characters, the format text itself.
std::wstring formatLogMessage(const wchar_t* format, va_list args);

// A message made beforehand: itself when it fits a line (1024 characters), else its unformatted text.
const std::wstring& fittedLogMessage(const std::wstring& message, const std::wstring& unformatted);

// The log's name once the working directory is `dir`: dir followed by the name's file-name part.
std::wstring relocatedLogName(const std::wstring& dir, const std::wstring& currentName);

}  // namespace capture_b
