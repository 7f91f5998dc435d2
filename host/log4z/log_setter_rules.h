// log_setter_rules.h: the checks and conversions every setter of the manager applies before a value
// is stored or queued. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmar::log4z {

constexpr int LOGGER_MAX = 20;

// Longest text a setter accepts (name, path, key).
constexpr std::size_t kMaxSettingText = 8191;

// An id is valid from 0 up to the highest id in use.
constexpr bool isValidLoggerId(int id, int lastId) {
  return id >= 0 && id <= lastId && id < LOGGER_MAX;
}

constexpr bool isAcceptableText(std::string_view text) { return text.size() <= kMaxSettingText; }

// A path as stored: with "/" appended unless it ends in '/' or '\'.
std::string normalisedPath(std::string_view path);

// Megabytes as stored: 0 ("no limit") becomes all bits set.
constexpr std::uint32_t storedLimitSize(std::uint32_t megabytes) {
  return megabytes == 0 ? 0xFFFFFFFFu : megabytes;
}

// Seconds to keep old files as stored: negative values become 0 (keep everything).
constexpr std::int64_t storedReserve(std::int64_t seconds) { return seconds < 0 ? 0 : seconds; }

}  // namespace velmar::log4z
