// loger_manager.h: LogerManager, the implementation of ILog4zManager: LOGGER_MAX loggers, the queue
// of records with its lock, the pool of free records (at most 200) with its lock, and the writer
// thread that prints and writes queued lines. Windows only.
//
// Besides the process's instance (ILog4zManager::getInstance), tests make their own managers with
// an injected clock, so lines can be dated across local midnight.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lock_helper.h"
#include "log4z.h"
#include "log_console_win.h"
#include "logger_info.h"
#include "sem_helper.h"
#include "thread_helper.h"

namespace velmar::log4z {

// Microseconds since 1970, UTC.
using Log4zClock = std::function<std::int64_t()>;

// The system clock (GetSystemTimeAsFileTime).
std::int64_t systemClockMicros();

// Records kept for reuse at most.
constexpr std::size_t kMaxPooledRecords = 200;

class LogerManager final : public ThreadHelper, public ILog4zManager {
 public:
  explicit LogerManager(Log4zClock clock = systemClockMicros);
  // Stops the writer (every queued line is written first) and frees the records.
  ~LogerManager() override;

  bool configFromFile(std::string_view path) override;
  bool configFromText(std::string_view text) override;
  int CreateLogger(std::string_view key) override;
  bool start() override;
  bool stop() override;
  int lookupLogger(std::string_view key) override;
  bool acceptsLevel(int id, int level) override;
  bool submit(LogData* record, const char* file, int line) override;
  bool setEnable(int id, bool enable) override;
  bool setName(int id, std::string_view name) override;
  bool setPath(int id, std::string_view path) override;
  bool setLevel(int id, int level) override;
  bool setFileLine(int id, bool enable) override;
  bool setDisplay(int id, bool enable) override;
  bool setOutFile(int id, bool enable) override;
  bool setLimitSize(int id, unsigned int megabytes) override;
  bool setMonthDir(int id, bool enable) override;
  bool setReserve(int id, long long seconds) override;
  bool setHotUpdateInterval(int seconds) override;
  bool reloadConfig() override;
  bool isEnabled(int id) override;
  std::uint64_t totalLinesWritten() override;
  std::uint64_t totalBytesWritten() override;
  std::uint64_t totalPushed() override;
  std::uint64_t totalPopped() override;
  int enabledLoggerCount() override;
  LogData* newLogData(int id, int level) override;
  void releaseLogData(LogData* record) override;

  const std::string& processName() const noexcept { return processName_; }
  const std::string& pidText() const noexcept { return pidText_; }
  std::size_t queueLength();
  std::size_t pooledRecords();

  // Stops the writer without console output and waits at most `milliseconds` (used at process
  // exit, where the host's standard output must stay clean).
  bool drain(DWORD milliseconds);

  // While a WriterHold lives, the writer takes no record from the queue. Lets tests queue lines
  // and commands behind each other before any of them is written.
  class WriterHold {
   public:
    explicit WriterHold(LogerManager& manager) : guard_(manager.holdLock_) {}

   private:
    LockHelper::Guard guard_;
  };

 protected:
  void run() override;

 private:
  using Record = std::unique_ptr<LogData>;

  bool isValidId(int id) const noexcept { return isValidLoggerId(id, lastId_.load()); }
  bool passes(int id, int level) const noexcept;
  void applyBackPressure();
  Record takeRecord();
  void recycle(Record record) noexcept;
  void push(Record record);
  Record popFront();
  bool setFlag(int id, int type, bool value);
  bool setText(int id, int type, std::string_view text);
  void queueOrApply(int id, int type, long long value, std::string_view text);
  void applyCommand(LoggerInfo& logger, int type, long long value, std::string_view text);

  // Writer thread.
  void process(Record record);
  bool openForLine(int id, const LogData& line);
  void closeFile(int id);
  void flushWritten();
  void closeDisabled();
  void closeAll();
  void logStartLines();

  Log4zClock clock_;
  std::string processName_;
  std::string pidText_;
  std::array<LoggerInfo, LOGGER_MAX> loggers_;
  std::atomic<int> lastId_{0};

  LockHelper settingsLock_;  // logger texts, CreateLogger, setter decisions
  LockHelper queueLock_;
  std::deque<Record> queue_;
  std::atomic<std::size_t> queueLength_{0};
  LockHelper poolLock_;
  std::vector<Record> pool_;
  LockHelper holdLock_;   // see WriterHold
  LockHelper startLock_;  // start and stop
  LogConsole console_;
  std::atomic<bool> running_{false};
  SemHelper started_;
  SemHelper wake_;  // posted when the writer should look at running_ before its 50 ms are over

  std::atomic<std::uint64_t> linesWritten_{0};
  std::atomic<std::uint64_t> bytesWritten_{0};
  std::atomic<std::uint64_t> pushed_{0};
  std::atomic<std::uint64_t> popped_{0};
};

}  // namespace velmar::log4z
