// utf8_wide.h: UTF-8 and UTF-16 texts of the system (file names, paths, version strings) converted
// through the system's UTF-8 code page. Lenient: invalid sequences become U+FFFD, and a text the system
// cannot convert at all gives an empty one (callers that must refuse such text use the strict helpers).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmar::win {

inline std::wstring wideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

inline std::string utf8FromWide(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

}  // namespace velmar::win
