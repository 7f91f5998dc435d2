// capture_log_win.cpp: CaptureLog's file writing, message boxes and system error texts.
#include "capture_log_win.h"

#include <cstdarg>

#include "win/unique_handle.h"

namespace capture_b {
namespace {

LocalTime localNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

CaptureLog& captureLog() {
  static CaptureLog log;
  return log;
}

CaptureLog::CaptureLog() : fileName_(logFileName(localNow())) {}

std::wstring CaptureLog::fileName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return fileName_;
}

void CaptureLog::relocate(const std::wstring& dir) {
  std::lock_guard<std::mutex> lock(mutex_);
  fileName_ = relocatedLogName(dir, fileName_);
}

void CaptureLog::write(const std::wstring& text, int level, bool withHeader) {
  if (level > level_) return;
  const std::wstring line = withHeader ? logLine(localNow(), GetCurrentThreadId(), level, text) : text;
  const DWORD lastError = GetLastError();
  // Lines of 1024 characters or more are dropped whole rather than cut.
  if (line.size() >= kLogLineChars) return;

  // Threads of this process take turns; the file stays unshared, so another process that holds it
  // makes the line fail instead of interleaving.
  std::lock_guard<std::mutex> lock(mutex_);
  velmar::win::UniqueHandle file(CreateFileW(fileName_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  if (GetLastError() != ERROR_ALREADY_EXISTS) {
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    if (!WriteFile(file.get(), kBom, 2, &written, nullptr) || written != 2) return;
  } else if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
             GetLastError() != NO_ERROR) {
    return;
  }
  const DWORD bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
  if (!WriteFile(file.get(), line.data(), bytes, &written, nullptr) || written != bytes) return;
  file.reset();
  SetLastError(lastError);
}

void CaptureLog::writeFormatted(int level, const wchar_t* format, va_list args) {
  if (level > level_) return;
  write(formatLogMessage(format, args), level, true);
}

#define CAPTURE_LOG_LEVEL_FUNCTION(name, level)  \
  void CaptureLog::name(const wchar_t* format, ...) { \
    va_list args;                                 \
    va_start(args, format);                       \
    writeFormatted(level, format, args);          \
    va_end(args);                                 \
  }
CAPTURE_LOG_LEVEL_FUNCTION(error, LOG_LEVEL_ERROR)
CAPTURE_LOG_LEVEL_FUNCTION(warning, LOG_LEVEL_WARNING)
CAPTURE_LOG_LEVEL_FUNCTION(info, LOG_LEVEL_INFO)
CAPTURE_LOG_LEVEL_FUNCTION(debug, LOG_LEVEL_DEBUG)
#undef CAPTURE_LOG_LEVEL_FUNCTION

void CaptureLog::errorBox(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const std::wstring message = formatLogMessage(format, args);
  va_end(args);
  write(message, LOG_LEVEL_ERROR, true);
  if (messageBoxes_) {
    MessageBoxW(owner_, message.c_str(), L"   A D V E R T E N C I A", MB_OK | MB_ICONWARNING);
  }
}

void CaptureLog::logSystemError(const wchar_t* operation) {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0,
                 nullptr);
  velmar::win::Unique<HLOCAL, &LocalFree> owned(text);
  error(L"ERROR '%ls' falló con error %d: '%ls'", operation, static_cast<int>(code), text ? text : L"");
}

}  // namespace capture_b
