// capture_log_win.h: CaptureLog, velmar-capture-b's diagnostic log: one UTF-16 file a day with a
// checksum column, four levels, optional message boxes for errors the user must see, and
// logSystemError for failed system calls. Any thread may log; a line that cannot be written is lost
// without failing the caller.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "log_line.h"

namespace capture_b {

class CaptureLog {
 public:
  // File "logdev-<today>.log" in the current directory (until relocated), level 3, no message boxes,
  // no owner.
  CaptureLog();

  void setLevel(int level) { level_ = level; }
  int level() const { return level_; }
  void setMessageBoxMode(bool on) { messageBoxes_ = on; }
  bool messageBoxMode() const { return messageBoxes_; }
  void setOwner(HWND owner) { owner_ = owner; }

  void error(const wchar_t* format, ...);
  void warning(const wchar_t* format, ...);
  void info(const wchar_t* format, ...);
  void debug(const wchar_t* format, ...);
  // An error line; in message-box mode also a warning box that the calling thread waits on.
  void errorBox(const wchar_t* format, ...);
  // "ERROR '<operation>' falló con error <n>: '<system text>'" for the thread's last error.
  void logSystemError(const wchar_t* operation);

  // Writes one line when level <= the log's level; with a header it gets time, thread and checksum.
  void write(const std::wstring& text, int level, bool withHeader);
  // The log continues in the same-named file in `dir`, a folder with its trailing separator (lines
  // already written stay where they are).
  void relocate(const std::wstring& dir);
  std::wstring fileName() const;

 private:
  void writeFormatted(int level, const wchar_t* format, va_list args);

  mutable std::mutex mutex_;  // the file name; also keeps this process's lines from colliding
  std::wstring fileName_;
  std::atomic<int> level_{LOG_LEVEL_DEBUG};
  std::atomic<bool> messageBoxes_{false};
  std::atomic<HWND> owner_{nullptr};
};

// The one log of the process.
CaptureLog& captureLog();

}  // namespace capture_b
