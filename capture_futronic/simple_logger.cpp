// simple_logger.cpp: the capture log's line format, encoding and file sinks.
#include "simple_logger.h"

#include <cwchar>
#include <filesystem>

#include "simple_logger_platform.h"

namespace SimpleLogger {

namespace {

constexpr size_t kMessageCapacity = 2048;  // 2047 characters and the terminator
constexpr int32_t kNoEmptyLineLevel = 9;

}  // namespace

const wchar_t* levelText(int32_t level) {
  switch (level) {
    case 0: return L"ALL";
    case 1: return L"DBG";
    case 2: return L"INF";
    case 4: return L"WRN";
    case 5: return L"ERR";
    default: return L"";
  }
}

std::wstring formatTimestamp(const LocalTime& t) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"%d%02d%02dT%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buffer;
}

std::wstring formatDate(const LocalTime& t) {
  wchar_t buffer[32];
  std::swprintf(buffer, 32, L"%d%02d%02d", t.year, t.month, t.day);
  return buffer;
}

std::wstring wideStringFormat(const wchar_t* format) {
  std::wstring out;
  for (const wchar_t* p = format; *p;) {
    if (*p != L'%') {
      out += *p++;
      continue;
    }
    out += *p++;
    if (*p == L'%') {
      out += *p++;
      continue;
    }
    while (*p && std::wcschr(L"-+ #0123456789.*", *p)) out += *p++;
    if (*p == L's') out += L'l';  // bare %s: a wide string, whatever the runtime thinks
  }
  return out;
}

std::wstring formatMessage(const wchar_t* format, va_list args) {
  if (!format) return std::wstring();
  wchar_t buffer[kMessageCapacity];
  const int n = std::vswprintf(buffer, kMessageCapacity, wideStringFormat(format).c_str(), args);
  // Runtimes differ on overlong output (negative or the full length): both mean "does not fit".
  if (n < 0 || static_cast<size_t>(n) >= kMessageCapacity) return format;
  return std::wstring(buffer, static_cast<size_t>(n));
}

std::wstring decorateLine(uint32_t mask, const LineFields& f, const std::wstring& message) {
  std::wstring out;
  bool wrote = false;  // did the previous field write something?
  if (mask & FIELD_TIMESTAMP) {
    out += formatTimestamp(f.time);
    wrote = true;
  }
  if (mask & FIELD_THREAD) {
    if (wrote) out += L' ';
    wrote = f.threadId != 0;
    if (wrote) out += std::to_wstring(f.threadId);
  }
  if (mask & FIELD_NAME) {
    if (wrote) out += L' ';
    out += f.name;
    wrote = true;
  }
  if (mask & FIELD_LEVEL) {
    if (wrote) out += L' ';
    out += levelText(f.level);
    wrote = true;
  }
  if (mask & FIELD_FUNCTION) {
    if (wrote) out += L' ';
    wrote = f.function != nullptr;
    if (wrote) out += f.function;
  }
  if (mask & FIELD_FILE) {
    if (wrote) out += L' ';
    wrote = f.file != nullptr;
    if (wrote) out += f.file;
  }
  if (mask & FIELD_LINE) {
    if (wrote) out += L' ';
    if (f.line != 0) out += std::to_wstring(f.line) + L' ';
  } else if (wrote) {
    out += L' ';
  }
  out += message;
  return out;
}

std::string encodeLine(const std::wstring& text) {
  std::string bytes;
  bytes.reserve(text.size() + 2);
  for (wchar_t c : text) {
    const auto code = static_cast<uint32_t>(c);
    if (c == L'\n') {
      bytes += "\r\n";
    } else if (code <= 0xFF) {
      bytes += static_cast<char>(static_cast<unsigned char>(code));
    } else {
      bytes += '?';
    }
  }
  return bytes;
}

Log::Log(std::wstring name)
    : name_(std::move(name)), clock_(&localNow), threadId_(&currentThreadId) {}

Log::~Log() = default;

void Log::setClock(std::function<LocalTime()> clock) {
  std::lock_guard<std::mutex> lock(mutex_);
  clock_ = std::move(clock);
}

void Log::setThreadIdSource(std::function<unsigned long()> threadId) {
  std::lock_guard<std::mutex> lock(mutex_);
  threadId_ = std::move(threadId);
}

size_t Log::sinkCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sinks_.size();
}

void Log::setFolder(std::wstring folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  folder_ = std::move(folder);
}

void Log::open(const std::wstring& prefix, const std::wstring& suffix, bool plain) {
  LocalTime today;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    today = clock_();
  }
  addSink(prefix + formatDate(today) + suffix, 0, plain ? 0 : defaultMask_, true);
}

void Log::addFile(const std::wstring& fileName, bool plain, int32_t minLevel) {
  std::wstring name = fileName;
  if (name.empty()) {
    std::lock_guard<std::mutex> lock(mutex_);
    name = L"log" + formatDate(clock_()) + L".log";
  }
  addSink(name, minLevel, plain ? 0 : defaultMask_, minLevel != kNoEmptyLineLevel);
}

void Log::addSink(const std::wstring& fileName, int32_t minLevel, uint32_t mask,
                  bool writeEmptyLine) {
  auto sink = std::make_unique<LogSink>();
  sink->minLevel = minLevel;
  sink->mask = mask;
  std::filesystem::path path(fileName);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!folder_.empty() && path.is_relative()) path = std::filesystem::path(folder_) / path;
  }
  // Binary: line ends are written as CR LF by encodeLine on every platform.
  sink->stream.open(path, std::ios::binary | std::ios::app);
  std::lock_guard<std::mutex> lock(mutex_);
  sinks_.push_back(std::move(sink));
  if (!writeEmptyLine) return;
  for (auto& s : sinks_) {
    if (!s->stream.is_open()) continue;
    s->stream << "\r\n";
    s->stream.flush();
  }
}

void Log::debug(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vwrite(LEVEL_DBG, nullptr, nullptr, 0, format, args);
  va_end(args);
}

void Log::info(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vwrite(LEVEL_INF, nullptr, nullptr, 0, format, args);
  va_end(args);
}

void Log::error(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vwrite(LEVEL_ERR, nullptr, nullptr, 0, format, args);
  va_end(args);
}

void Log::write(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
                const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vwrite(level, file, function, line, format, args);
  va_end(args);
}

void Log::vwrite(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
                 const wchar_t* format, va_list args) {
  writeLine(level, file, function, line, formatMessage(format, args));
}

void Log::writeLine(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
                    const std::wstring& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sinks_.empty()) return;
  LineFields fields;
  fields.time = clock_();
  fields.threadId = threadId_();
  fields.name = name_;
  fields.level = level;
  fields.function = function;
  fields.file = file;
  fields.line = line;
  for (auto& sink : sinks_) {
    if (sink->minLevel > level || !sink->stream.is_open()) continue;
    sink->stream << encodeLine(decorateLine(sink->mask, fields, message)) << "\r\n";
    sink->stream.flush();
  }
}

}  // namespace SimpleLogger
