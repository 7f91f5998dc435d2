// version_check.h: the required-version check of velmar-capture-b. Portable.
#pragma once

#include <string>

namespace capture_b {

// Compares code unit by code unit; at the first difference the smaller unit decides, and a prefix is
// smaller than the longer text. Negative, zero or positive like a three-way compare.
int compareVersions(const std::wstring& a, const std::wstring& b);

// True when no version is required or the current one is not older than the required one.
inline bool versionSatisfies(const std::wstring& current, const std::wstring& required) {
  return required.empty() || compareVersions(current, required) >= 0;
}

}  // namespace capture_b
