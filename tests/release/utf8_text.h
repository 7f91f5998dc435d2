// utf8_text.h: UTF-16 text from Win32 calls as UTF-8 for the release test programs' output.
#pragma once

#include <windows.h>

#include <string>

inline std::string toUtf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();  // the terminating NUL the call counts
  return out;
}
