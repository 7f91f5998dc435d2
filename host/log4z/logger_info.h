// logger_info.h: LoggerInfo, the settings and file state of one logger id. Windows only.
// Settings are read by calling threads and changed by setters or queued commands: scalars are
// atomic, texts are guarded by the manager's settings lock. The file state belongs to the writer.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "log_data.h"
#include "log_file_rules.h"
#include "log_file_win.h"
#include "log_levels.h"

namespace velmar::log4z {

struct LoggerInfo {
  // Texts (settings lock).
  std::string key;
  std::string name;
  std::string path = "./log/";

  // The latest level and enable given to the setters: what acceptsLevel and submit check.
  std::atomic<int> level{LOG_DEBUG};
  std::atomic<bool> enable{false};
  // The level and enable the writer judges queued lines by. They change in queue order, so a line
  // is written under the settings that were current when it was submitted.
  std::atomic<int> writerLevel{LOG_DEBUG};
  std::atomic<bool> writerEnable{false};

  std::atomic<bool> display{true};
  std::atomic<bool> outfile{true};
  std::atomic<bool> monthdir{false};
  std::atomic<std::uint32_t> limitsize{100};  // megabytes
  std::atomic<bool> fileline{true};
  std::atomic<long long> reserve{0};  // seconds

  // The open file (writer thread only).
  LogFile file;
  std::int64_t fileCreated = 0;  // seconds since 1970 of the file's first line
  std::int64_t dayStart = 0;     // local midnight of fileCreated
  unsigned rollIndex = 0;
  std::uint64_t written = 0;     // bytes in the open file
  std::string fileName;          // the current file, reopened by a writer started again; empty: a new one
  bool unflushed = false;        // written since the last flush
  std::deque<RememberedFile> history;
};

}  // namespace velmar::log4z
