// log_file_rules.h: which file a logger's next line goes to: the day and size decision, the file's
// directory and name, the directory levels to create, and the pruning of old files. Portable.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "local_time.h"

namespace velmar::log4z {

// The largest size limit, in bytes: 4095 megabytes. A limit of 0 ("no limit") also stands for it.
constexpr std::uint64_t kMaxLimitBytes = 4293918720ULL;

// The byte limit of a file for a limit given in megabytes. Computed in 64 bits and capped at
// kMaxLimitBytes, so large values keep a large limit instead of wrapping to a tiny one.
std::uint64_t limitSizeBytes(std::uint32_t megabytes);

enum class FileChoice {
  Keep,       // the current file takes the line
  NextIndex,  // the file is full: continue in the next roll index
  NewDay,     // the line belongs to another day: start again at roll index 0
};

// The decision before a write: the line's second against the current file's day (its local
// midnight), and the bytes written against the limit (full when the limit is less than them).
FileChoice chooseFile(std::int64_t lineSeconds, std::int64_t dayMidnight, std::uint64_t limitBytes,
                      std::uint64_t written);

// The logger's directory for a file created at `created`: path, plus "YYYY_MM/" with monthdir.
std::string logFileDirectory(std::string_view path, bool monthdir, const LocalDateTime& created);

// "<dir><process>_<logger>_<YYYYMMDDhhmm>_<pid>_<index:3>.log".
std::string logFileName(std::string_view directory, std::string_view processName,
                        std::string_view loggerName, const LocalDateTime& created,
                        std::string_view pidText, unsigned index);

// The process id as at least six zero-padded decimal digits.
std::string pidText(unsigned long pid);

// The directories to create, outermost first, for a directory text: every prefix that ends just
// before a '/' or '\' (or the whole text), leaving out empty, "." and ".." parts and a drive ("C:").
std::vector<std::string> directoryLevels(std::string_view directory);

// A file this logger wrote, with the time it was remembered.
struct RememberedFile {
  std::string name;
  std::int64_t created = 0;
};

// While more than 7 files are remembered and the oldest was created before now - reserve, forgets
// it; returns the forgotten names, oldest first, for deletion. Nothing happens when reserve <= 0.
std::vector<std::string> pruneRememberedFiles(std::deque<RememberedFile>& files, std::int64_t now,
                                              std::int64_t reserve);

// Remembers the file just opened, unless it is already the last one remembered.
void rememberFile(std::deque<RememberedFile>& files, const std::string& name, std::int64_t now);

}  // namespace velmar::log4z
