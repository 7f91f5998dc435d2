// log_line.cpp: velmar-capture-b's log line format.
#include "log_line.h"

#include <cwchar>
#include <vector>

namespace capture_b {
namespace {

// Own hex and decimal helpers keep the line independent of the C runtime's wide printf.
std::wstring hex(uint32_t v, int width) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring s;
  do {
    s.insert(s.begin(), kDigits[v & 15]);
    v >>= 4;
  } while (v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), L'0');
  return s;
}

std::wstring dec(int v, int width) {
  std::wstring s = std::to_wstring(v < 0 ? -static_cast<long long>(v) : v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), L'0');
  return v < 0 ? L"-" + s : s;
}

}  // namespace

const wchar_t* logLevelTag(int level) {
  switch (level) {
    case LOG_LEVEL_ERROR: return L"ERR";
    case LOG_LEVEL_WARNING: return L"WAR";
    case LOG_LEVEL_INFO: return L"INF";
    case LOG_LEVEL_DEBUG: return L"DEB";
    default: return L"  ";
  }
}

std::wstring logFileName(const LocalTime& t) {
  return L"logdev-" + dec(t.year, 0) + dec(t.month, 2) + dec(t.day, 2) + L".log";
}

std::wstring logTime(const LocalTime& t) {
  return dec(t.year, 0) + dec(t.month, 2) + dec(t.day, 2) + L"T" + dec(t.hour, 2) + dec(t.minute, 2) +
         dec(t.second, 2);
}

uint32_t logChecksum(uint32_t threadId, const std::wstring& firstForm) {
  uint32_t value = threadId;
  for (wchar_t c : firstForm) value = value * 101u + static_cast<uint32_t>(c);
  return value;
}

std::wstring logLine(const LocalTime& now, uint32_t threadId, int level, const std::wstring& message) {
  const std::wstring first =
      logTime(now) + L"\t" + hex(threadId, 6) + L"\t" + logLevelTag(level) + L"\t" + message + L"\r\n";
  return hex(logChecksum(threadId, first), 8) + L"\t" + first;
}

std::wstring formatLogMessage(const wchar_t* format, va_list args) {
  if (!format) return {};
  // One character more than a message may have, so that an overlong result is recognised however the C
  // runtime reports truncation.
  std::vector<wchar_t> buffer(kLogLineChars + 2, L'\0');
  va_list copy;
  va_copy(copy, args);
  const int n = std::vswprintf(buffer.data(), buffer.size(), format, copy);
  va_end(copy);
  if (n < 0 || static_cast<size_t>(n) > kLogLineChars) return format;
  return std::wstring(buffer.data(), static_cast<size_t>(n));
}

const std::wstring& fittedLogMessage(const std::wstring& message, const std::wstring& unformatted) {
  return message.size() > kLogLineChars ? unformatted : message;
}

std::wstring relocatedLogName(const std::wstring& dir, const std::wstring& currentName) {
  const auto sep = currentName.find_last_of(L"\\/:");
  return dir + (sep == std::wstring::npos ? currentName : currentName.substr(sep + 1));
}

}  // namespace capture_b
