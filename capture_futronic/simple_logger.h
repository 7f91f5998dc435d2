// simple_logger.h: the diagnostic log of velmar-capture-a. One text line per message into one or more
// files ("sinks"), each line decorated with local time, thread, logger name and level, and flushed as
// soon as it is written so a file shows everything up to the moment a run ends or dies.
//
// Threads: sinks are added during start-up; afterwards the window, capture and timeout threads write
// at the same time. One lock per Log keeps every line whole.
//
// Encoding: every wide character up to U+00FF is written as its Latin-1 byte; characters above it
// (they can only come from command-line texts) are written as '?'. Every line feed is written as
// CR LF, on every platform, so the files are byte-identical wherever they are written.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace SimpleLogger {

// Message levels. 3 and anything above 5 have an empty level text.
enum Level : int32_t {
  LEVEL_ALL = 0,  // as a minimum level only
  LEVEL_DBG = 1,
  LEVEL_INF = 2,
  LEVEL_WRN = 4,
  LEVEL_ERR = 5,
};

// Fields written before the message. Written in the order timestamp, thread, name, level, function,
// file, line; a mask of 0 ("plain") writes the message alone.
enum Field : uint32_t {
  FIELD_FILE = 0x01,
  FIELD_LINE = 0x02,
  FIELD_FUNCTION = 0x04,
  FIELD_TIMESTAMP = 0x08,
  FIELD_THREAD = 0x10,
  FIELD_NAME = 0x20,
  FIELD_LEVEL = 0x40,
};

constexpr uint32_t DEFAULT_MASK = 0x7E;

// A local calendar time, to the second.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "ALL", "DBG", "INF", "", "WRN", "ERR"; empty for any other level.
const wchar_t* levelText(int32_t level);

// "20240105T093007".
std::wstring formatTimestamp(const LocalTime& t);

// "20240105".
std::wstring formatDate(const LocalTime& t);

// Formats a printf-style wide format the logger's way: at most 2047 characters; a format that fails or
// whose text would be longer is returned unformatted. Wide strings are passed with %ls or %s: a bare
// %s is read as %ls, since runtimes disagree on what %s means in a wide format.
std::wstring formatMessage(const wchar_t* format, va_list args);

// The format with every bare %s (no length modifier) turned into %ls.
std::wstring wideStringFormat(const wchar_t* format);

// Everything one line carries besides the message.
struct LineFields {
  LocalTime time;
  unsigned long threadId = 0;
  std::wstring name;
  int32_t level = 0;
  const wchar_t* function = nullptr;  // absent when null
  const wchar_t* file = nullptr;      // absent when null
  int32_t line = 0;                   // absent when 0
};

// The decorated line for one sink mask, without the line end.
std::wstring decorateLine(uint32_t mask, const LineFields& fields, const std::wstring& message);

// The bytes a line becomes in the file: Latin-1, '?' above U+00FF, LF as CR LF.
std::string encodeLine(const std::wstring& text);

// One output file.
struct LogSink {
  std::ofstream stream;  // stays open for the life of the process; failed opens write nothing
  int32_t minLevel = 0;
  uint32_t mask = DEFAULT_MASK;
};

class Log {
 public:
  explicit Log(std::wstring name);
  virtual ~Log();
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  // The folder of the files that open and addFile name without a folder of their own; empty (the
  // default) leaves them in the working directory. Set it before the first open.
  void setFolder(std::wstring folder);

  // Opens prefix + today's date + suffix for appending as a sink with minimum level 0 and the default
  // mask (mask 0 when plain), then writes an empty line to every sink.
  void open(const std::wstring& prefix, const std::wstring& suffix, bool plain);

  // As open, with the whole file name (empty: "log" + date + ".log") and the sink's minimum level; the
  // empty line is written to every sink unless minLevel is 9.
  void addFile(const std::wstring& fileName, bool plain, int32_t minLevel);

  void debug(const wchar_t* format, ...);  // level 1
  void info(const wchar_t* format, ...);   // level 2
  void error(const wchar_t* format, ...);  // level 5
  void write(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
             const wchar_t* format, ...);
  void vwrite(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
              const wchar_t* format, va_list args);

  const std::wstring& name() const { return name_; }
  uint32_t defaultMask() const { return defaultMask_; }
  size_t sinkCount() const;

  // Sources of the time and the thread identifier; the system's by default. Tests replace them to
  // compare lines byte for byte. Set them before other threads write.
  void setClock(std::function<LocalTime()> clock);
  void setThreadIdSource(std::function<unsigned long()> threadId);

 private:
  void addSink(const std::wstring& fileName, int32_t minLevel, uint32_t mask, bool writeEmptyLine);
  void writeLine(int32_t level, const wchar_t* file, const wchar_t* function, int32_t line,
                 const std::wstring& message);

  std::wstring name_;
  std::wstring folder_;
  uint32_t defaultMask_ = DEFAULT_MASK;
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<LogSink>> sinks_;
  std::function<LocalTime()> clock_;
  std::function<unsigned long()> threadId_;
};

}  // namespace SimpleLogger
