#include "loger_manager.h"

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <random>

#include "back_pressure.h"
#include "log4z_write.h"
#include "log_line_header.h"
#include "local_time.h"

namespace velmar::log4z {

std::int64_t systemClockMicros() {
  FILETIME ft{};
  GetSystemTimeAsFileTime(&ft);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return unixMicrosFromFileTime(ticks);
}

LogerManager::LogerManager(Log4zClock clock)
    : clock_(clock ? std::move(clock) : Log4zClock(systemClockMicros)),
      processName_(currentProcessName()),
      pidText_(log4z::pidText(GetCurrentProcessId())) {
  LoggerInfo& main = loggers_[0];
  main.key = "Main";
  main.name = "Main";
  main.enable = true;
  main.writerEnable = true;
  pool_.reserve(kMaxPooledRecords);  // recycling never allocates
}

LogerManager::~LogerManager() { drain(INFINITE); }

bool LogerManager::configFromFile(std::string_view) { return false; }
bool LogerManager::configFromText(std::string_view) { return false; }
bool LogerManager::setHotUpdateInterval(int) { return false; }
bool LogerManager::reloadConfig() { return false; }

int LogerManager::CreateLogger(std::string_view key) {
  if (key.empty() || !isAcceptableText(key)) return kInvalidLoggerId;
  LockHelper::Guard guard(settingsLock_);
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) {
    if (loggers_[id].key == key) return id;
  }
  if (last + 1 >= LOGGER_MAX) {
    console_.printNotice(
        "log4z: CreateLogger can not create|writeover, because loggerid need < LOGGER_MAX! \r\n");
    return kInvalidLoggerId;
  }
  LoggerInfo& logger = loggers_[last + 1];
  logger.key = std::string(key);
  logger.name = std::string(key);
  lastId_ = last + 1;
  return last + 1;
}

int LogerManager::lookupLogger(std::string_view key) {
  LockHelper::Guard guard(settingsLock_);
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) {
    if (loggers_[id].key == key) return id;
  }
  return kInvalidLoggerId;
}

bool LogerManager::start() {
  LockHelper::Guard guard(startLock_);
  if (isCreated()) {
    console_.printNotice("log4z already start \r\n");
    return false;
  }
  if (!create()) {
    console_.printNotice("log4z: create log4z thread error! \r\n");
    return false;
  }
  started_.wait(3000);
  return true;
}

bool LogerManager::stop() {
  LockHelper::Guard guard(startLock_);
  if (!isCreated()) return false;
  console_.printNotice("log4z stopping \r\n");
  running_ = false;
  wake_.post();
  waitFor(INFINITE);
  LockHelper::Guard pool(poolLock_);
  pool_.clear();
  return true;
}

bool LogerManager::drain(DWORD milliseconds) {
  LockHelper::Guard guard(startLock_);
  if (!isCreated()) return true;
  running_ = false;
  wake_.post();
  if (!waitFor(milliseconds)) return false;
  LockHelper::Guard pool(poolLock_);
  pool_.clear();
  return true;
}

bool LogerManager::passes(int id, int level) const noexcept {
  if (!isValidId(id) || !running_ || !isKnownLevel(level)) return false;
  const LoggerInfo& logger = loggers_[id];
  return logger.enable && level >= logger.level;
}

bool LogerManager::acceptsLevel(int id, int level) {
  if (!passes(id, level)) return false;
  applyBackPressure();
  return true;
}

void LogerManager::applyBackPressure() {
  const int delay = backPressureDelay(queueLength_.load());
  if (delay == 0) return;
  thread_local std::minstd_rand draws(static_cast<unsigned>(GetCurrentThreadId()) ^
                                      static_cast<unsigned>(clock_()));
  if (!backPressureSleeps(delay, static_cast<unsigned>(draws()))) return;
  if (delay > 50) {
    LockHelper::Guard guard(queueLock_);
    if (queue_.size() <= kBackPressureThreshold) return;
  }
  Sleep(static_cast<DWORD>(delay));
}

LogerManager::Record LogerManager::takeRecord() {
  {
    LockHelper::Guard guard(poolLock_);
    if (!pool_.empty()) {
      Record record = std::move(pool_.back());
      pool_.pop_back();
      return record;
    }
  }
  return Record(new (std::nothrow) LogData);
}

void LogerManager::recycle(Record record) noexcept {
  if (!record) return;
  LockHelper::Guard guard(poolLock_);
  if (pool_.size() < kMaxPooledRecords) pool_.push_back(std::move(record));
}

void LogerManager::push(Record record) {
  LockHelper::Guard guard(queueLock_);
  queue_.push_back(std::move(record));
  queueLength_ = queue_.size();
}

LogerManager::Record LogerManager::popFront() {
  LockHelper::Guard guard(queueLock_);
  if (queue_.empty()) return nullptr;
  Record record = std::move(queue_.front());
  queue_.pop_front();
  queueLength_ = queue_.size();
  return record;
}

std::size_t LogerManager::queueLength() { return queueLength_.load(); }

std::size_t LogerManager::pooledRecords() {
  LockHelper::Guard guard(poolLock_);
  return pool_.size();
}

LogData* LogerManager::newLogData(int id, int level) {
  Record record = takeRecord();
  if (!record) return nullptr;
  const SecondsAndMillis now = splitMicros(clock_());
  record->loggerId = id;
  record->type = kLogLine;
  record->commandValue = 0;
  record->level = level;
  record->seconds = now.seconds;
  record->millis = now.millis;
  record->threadId = GetCurrentThreadId();
  thread_local LocalDayCache days;
  record->contentLength = formatLineHeader(record->content, kLogContentSize, days.dayOf(now.seconds),
                                           now.seconds, now.millis, record->threadId, level);
  return record.release();
}

void LogerManager::releaseLogData(LogData* record) { recycle(Record(record)); }

bool LogerManager::submit(LogData* record, const char* file, int line) {
  Record owned(record);
  if (!owned) return false;
  if (!passes(owned->loggerId, owned->level)) {
    recycle(std::move(owned));
    return false;
  }
  owned->type = kLogLine;
  if (file && *file && loggers_[owned->loggerId].fileline) appendSourceLocation(*owned, file, line);
  finishLine(*owned);
  try {
    push(std::move(owned));
  } catch (const std::bad_alloc&) {
    return false;
  }
  ++pushed_;
  return true;
}

void LogerManager::queueOrApply(int id, int type, long long value, std::string_view text) {
  // The caller holds settingsLock_, so two setters cannot overtake each other on the way in.
  if (running_) {
    Record command = takeRecord();
    if (!command) return;
    command->loggerId = id;
    command->type = type;
    command->commandValue = value;
    command->level = 0;
    command->seconds = 0;
    command->millis = 0;
    command->threadId = GetCurrentThreadId();
    command->contentLength = 0;
    appendContent(*command, text);
    push(std::move(command));
  } else {
    // With no writer running the file is closed already; a change of where it goes makes the next
    // start open a new one (setting the same values again keeps the file it left).
    LoggerInfo& logger = loggers_[id];
    const std::string path = logger.path, name = logger.name;
    const bool monthdir = logger.monthdir;
    applyCommand(logger, type, value, text);
    if (logger.path != path || logger.name != name || logger.monthdir != monthdir) logger.fileName.clear();
  }
}

void LogerManager::applyCommand(LoggerInfo& logger, int type, long long value,
                                std::string_view text) {
  switch (type) {
    case kCommandEnable: logger.writerEnable = value != 0; break;
    case kCommandLevel: logger.writerLevel = static_cast<int>(value); break;
    case kCommandName: {
      LockHelper::Guard guard(settingsLock_);
      logger.name = std::string(text);
      break;
    }
    case kCommandPath: {
      LockHelper::Guard guard(settingsLock_);
      logger.path = normalisedPath(text);
      break;
    }
    case kCommandFileLine: logger.fileline = value != 0; break;
    case kCommandDisplay: logger.display = value != 0; break;
    case kCommandOutFile: logger.outfile = value != 0; break;
    case kCommandLimitSize: logger.limitsize = storedLimitSize(static_cast<std::uint32_t>(value)); break;
    case kCommandMonthDir: logger.monthdir = value != 0; break;
    case kCommandReserve: logger.reserve = storedReserve(value); break;
    default: break;
  }
}

bool LogerManager::setEnable(int id, bool enable) {
  if (!isValidId(id)) return false;
  LockHelper::Guard guard(settingsLock_);
  loggers_[id].enable = enable;
  queueOrApply(id, kCommandEnable, enable, {});
  return true;
}

bool LogerManager::setLevel(int id, int level) {
  if (!isValidId(id)) return false;
  LockHelper::Guard guard(settingsLock_);
  loggers_[id].level = level;
  queueOrApply(id, kCommandLevel, level, {});
  return true;
}

bool LogerManager::setFlag(int id, int type, bool value) {
  if (!isValidId(id)) return false;
  LockHelper::Guard guard(settingsLock_);
  queueOrApply(id, type, value, {});
  return true;
}

bool LogerManager::setText(int id, int type, std::string_view text) {
  if (!isValidId(id) || !isAcceptableText(text)) return false;
  if (text.empty()) return true;  // an empty name or path leaves the setting as it is
  LockHelper::Guard guard(settingsLock_);
  queueOrApply(id, type, 0, text);
  return true;
}

bool LogerManager::setName(int id, std::string_view name) { return setText(id, kCommandName, name); }
bool LogerManager::setPath(int id, std::string_view path) { return setText(id, kCommandPath, path); }
bool LogerManager::setFileLine(int id, bool enable) { return setFlag(id, kCommandFileLine, enable); }
bool LogerManager::setDisplay(int id, bool enable) { return setFlag(id, kCommandDisplay, enable); }
bool LogerManager::setOutFile(int id, bool enable) { return setFlag(id, kCommandOutFile, enable); }
bool LogerManager::setMonthDir(int id, bool enable) { return setFlag(id, kCommandMonthDir, enable); }

bool LogerManager::setLimitSize(int id, unsigned int megabytes) {
  if (!isValidId(id)) return false;
  LockHelper::Guard guard(settingsLock_);
  queueOrApply(id, kCommandLimitSize, megabytes, {});
  return true;
}

bool LogerManager::setReserve(int id, long long seconds) {
  if (!isValidId(id)) return false;
  LockHelper::Guard guard(settingsLock_);
  queueOrApply(id, kCommandReserve, seconds, {});
  return true;
}

bool LogerManager::isEnabled(int id) { return isValidId(id) && loggers_[id].enable; }

std::uint64_t LogerManager::totalLinesWritten() { return linesWritten_.load(); }
std::uint64_t LogerManager::totalBytesWritten() { return bytesWritten_.load(); }
std::uint64_t LogerManager::totalPushed() { return pushed_.load(); }
std::uint64_t LogerManager::totalPopped() { return popped_.load(); }

int LogerManager::enabledLoggerCount() {
  int count = 0;
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) count += loggers_[id].enable ? 1 : 0;
  return count;
}

// ---- writer thread ----

void LogerManager::run() {
  running_ = true;
  logStartLines();
  started_.post();
  for (;;) {
    for (;;) {
      LockHelper::Guard hold(holdLock_);
      Record record = popFront();
      if (!record) break;
      try {
        process(std::move(record));
      } catch (const std::exception&) {
        // Out of memory while naming a file: this line is lost, the writer goes on.
      }
    }
    flushWritten();
    closeDisabled();
    if (!running_ && queueLength_.load() == 0) break;
    wake_.wait(50);  // 50 ms, or less when stop or drain wants the writer to end
  }
  closeAll();
}

void LogerManager::logStartLines() {
  writeLine(*this, 0, LOG_ALARM,
            "-----------------  log4z thread started!   ----------------------------");
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) {
    const LoggerInfo& logger = loggers_[id];
    if (!logger.enable) continue;
    std::string text;
    {
      LockHelper::Guard guard(settingsLock_);
      text = "logger id=" + std::to_string(id) + " key=" + logger.key + " name=" + logger.name +
             " path=" + logger.path + " level=" + std::to_string(logger.level.load()) +
             " display=" + (logger.display ? "true" : "false");
    }
    writeLine(*this, 0, LOG_ALARM, text);
  }
}

void LogerManager::process(Record record) {
  const int id = record->loggerId;
  if (!isValidId(id)) {
    recycle(std::move(record));
    return;
  }
  LoggerInfo& logger = loggers_[id];
  if (record->type != kLogLine) {
    // Settings the setter would have applied at once (a lower level, enabling) keep the file open;
    // every other command closes it so the next line opens a file with the new settings.
    bool close = true;
    if (record->type == kCommandLevel) close = record->commandValue > logger.writerLevel;
    if (record->type == kCommandEnable) close = record->commandValue == 0;
    applyCommand(logger, record->type, record->commandValue,
                 std::string_view(record->content, static_cast<std::size_t>(record->contentLength)));
    if (close) {
      closeFile(id);
      logger.fileName.clear();  // the next line opens a file with the new settings
    }
    recycle(std::move(record));
    return;
  }
  ++popped_;
  if (logger.writerEnable && record->level >= logger.writerLevel) {
    const std::size_t n = static_cast<std::size_t>(record->contentLength);
    if (logger.display) console_.printLine(std::string_view(record->content, n), record->level);
    if (logger.outfile && openForLine(id, *record) && logger.file.write(record->content, n)) {
      logger.written += n;
      logger.unflushed = true;
    }
    ++linesWritten_;
    bytesWritten_ += n;
  }
  recycle(std::move(record));
}

bool LogerManager::openForLine(int id, const LogData& line) {
  if (id < 0 || id >= LOGGER_MAX) {
    console_.printNotice("log4z: openLogger can not open, invalide logger id! \r\n");
    return false;
  }
  LoggerInfo& logger = loggers_[id];
  switch (chooseFile(line.seconds, logger.dayStart, limitSizeBytes(logger.limitsize), logger.written)) {
    case FileChoice::Keep: break;
    case FileChoice::NextIndex:
      ++logger.rollIndex;
      closeFile(id);
      logger.fileName.clear();
      break;
    case FileChoice::NewDay:
      logger.rollIndex = 0;
      closeFile(id);
      logger.fileName.clear();
      break;
  }
  if (logger.file.isOpen()) return true;
  // A writer started again (velmar-device.dll runs it per capture) goes on in the file it left, as
  // long as that file is of the same day and not full.
  std::uint64_t reopenedSize = 0;
  if (!logger.fileName.empty() && logger.file.open(logger.fileName, reopenedSize)) {
    logger.written = reopenedSize;
    return true;
  }

  const LocalDay day = localDayOf(line.seconds);
  const LocalDateTime created = dateTimeWithin(day, line.seconds);
  logger.fileCreated = line.seconds;
  logger.dayStart = day.midnight;
  logger.written = 0;
  std::string path;
  std::string name;
  {
    LockHelper::Guard guard(settingsLock_);
    path = logger.path;
    name = logger.name;
  }
  const std::string directory = logFileDirectory(path, logger.monthdir, created);
  createDirectories(directory);
  const std::string fileName =
      logFileName(directory, processName_, name, created, pidText_, logger.rollIndex);
  std::uint64_t size = 0;
  if (!logger.file.open(fileName, size)) {
    console_.printNotice("!!!!!!!!!!!!!!!!!!!!!!!!!! \r\nlog4z: can not open log file " + fileName +
                         ". \r\n!!!!!!!!!!!!!!!!!!!!!!!!!! \r\n");
    logger.outfile = false;
    return false;
  }
  logger.written = size;
  logger.fileName = fileName;
  const long long reserve = logger.reserve;
  if (reserve > 0) {
    const std::int64_t now = splitMicros(clock_()).seconds;
    for (const std::string& old : pruneRememberedFiles(logger.history, now, reserve)) {
      deleteLogFile(old);
    }
    rememberFile(logger.history, fileName, now);
  }
  return true;
}

void LogerManager::closeFile(int id) {
  if (id < 0 || id >= LOGGER_MAX) {
    console_.printNotice("log4z: closeLogger can not close, invalide logger id! \r\n");
    return;
  }
  LoggerInfo& logger = loggers_[id];
  logger.file.close();
  logger.unflushed = false;
}

void LogerManager::flushWritten() {
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) {
    LoggerInfo& logger = loggers_[id];
    if (logger.writerEnable && logger.unflushed) {
      logger.file.flush();
      logger.unflushed = false;
    }
  }
}

void LogerManager::closeDisabled() {
  const int last = lastId_.load();
  for (int id = 0; id <= last; ++id) {
    if (!loggers_[id].writerEnable && loggers_[id].file.isOpen()) closeFile(id);
  }
}

void LogerManager::closeAll() {
  for (int id = 0; id < LOGGER_MAX; ++id) closeFile(id);
}

ILog4zManager* ILog4zManager::getInstance() {
  static LogerManager* const instance = [] {
    auto* manager = new LogerManager();
    // Lines still queued when the program returns from main are written before the process ends.
    // The instance itself is never destroyed: code that logs from other static destructors finds
    // it intact (its lines are then simply refused).
    std::atexit([] { static_cast<LogerManager*>(getInstance())->drain(10000); });
    return manager;
  }();
  return instance;
}

}  // namespace velmar::log4z
