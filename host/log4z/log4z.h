// log4z.h: ILog4zManager, the interface of the host's asynchronous logger. One manager per process
// (getInstance) owns up to LOGGER_MAX loggers; id 0 is the main logger "Main". Any thread may call
// any operation. Lines are formatted by the caller into a pooled LogData, queued, and written by
// the manager's own writer thread. Host code writes through log4z_write.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "log_data.h"
#include "log_levels.h"
#include "log_setter_rules.h"

namespace velmar::log4z {

// Returned by CreateLogger and lookupLogger when there is no such logger.
constexpr int kInvalidLoggerId = -1;

class ILog4zManager {
 public:
  virtual ~ILog4zManager() = default;

  // Loading settings from a configuration text is not provided: both return false.
  virtual bool configFromFile(std::string_view path) = 0;
  virtual bool configFromText(std::string_view text) = 0;

  // The id of the logger with this key, created (disabled, name = key, path "./log/") when missing;
  // kInvalidLoggerId when all LOGGER_MAX ids are taken or the key is empty or too long.
  virtual int CreateLogger(std::string_view key) = 0;

  // Starts the writer thread and waits up to 3 s until it runs; false when it already runs or
  // cannot be created.
  virtual bool start() = 0;
  // Stops the writer thread after it wrote every queued line; false when it was not started.
  virtual bool stop() = 0;

  virtual int lookupLogger(std::string_view key) = 0;

  // The pre-check before a line is built: valid id, writer running, logger enabled, level known
  // and at least the logger's level. May sleep briefly when the writer is far behind.
  virtual bool acceptsLevel(int id, int level) = 0;

  // Queues a record from newLogData (ownership passes to the manager in every case): appends
  // " <file>:<line>" when the logger's fileline is on and a file is given, ends the line in CR LF.
  // False (record released) when the checks of acceptsLevel fail.
  virtual bool submit(LogData* record, const char* file, int line) = 0;

  // Setters: false for an invalid id or a text longer than 8191 bytes. Level and enable take
  // effect for the lines submitted after the call; while the writer runs, other settings travel
  // through the queue as commands, so they apply between the lines queued before and after.
  virtual bool setEnable(int id, bool enable) = 0;
  virtual bool setName(int id, std::string_view name) = 0;  // empty: ignored
  virtual bool setPath(int id, std::string_view path) = 0;  // empty: ignored; "/" appended
  virtual bool setLevel(int id, int level) = 0;
  virtual bool setFileLine(int id, bool enable) = 0;
  virtual bool setDisplay(int id, bool enable) = 0;
  virtual bool setOutFile(int id, bool enable) = 0;
  virtual bool setLimitSize(int id, unsigned int megabytes) = 0;  // 0: the largest limit
  virtual bool setMonthDir(int id, bool enable) = 0;
  virtual bool setReserve(int id, long long seconds) = 0;  // keep old files this long; 0: all

  // Reloading a configuration file is not provided: both return false.
  virtual bool setHotUpdateInterval(int seconds) = 0;
  virtual bool reloadConfig() = 0;

  virtual bool isEnabled(int id) = 0;

  // Statistics since the manager was made.
  virtual std::uint64_t totalLinesWritten() = 0;
  virtual std::uint64_t totalBytesWritten() = 0;
  virtual std::uint64_t totalPushed() = 0;
  virtual std::uint64_t totalPopped() = 0;
  virtual int enabledLoggerCount() = 0;

  // A record for one line of `level` on logger `id`, its content already holding the line header;
  // nullptr only when no memory is left.
  virtual LogData* newLogData(int id, int level) = 0;
  // Returns a record that will not be submitted.
  virtual void releaseLogData(LogData* record) = 0;

  // The process's manager, made on first use and kept until the process ends. Lines still queued
  // when the process exits through exit() or a return from main are written first.
  static ILog4zManager* getInstance();
};

}  // namespace velmar::log4z
