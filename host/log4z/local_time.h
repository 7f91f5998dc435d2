// local_time.h: calendar values of a second since 1970 in the machine's local time zone, and the
// conversion of a Windows file time to microseconds since 1970. Portable; thread-safe.
#pragma once

#include <cstdint>

namespace velmar::log4z {

struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local calendar values of `seconds` (since 1970, UTC). When the C runtime cannot convert the
// value, the UTC calendar values are returned instead.
LocalDateTime toLocalDateTime(std::int64_t seconds);

// 100-nanosecond intervals since 1601 (a FILETIME) to microseconds since 1970.
constexpr std::int64_t unixMicrosFromFileTime(std::uint64_t fileTime) {
  return static_cast<std::int64_t>(fileTime / 10) - 11644473600000000LL;
}

// Floor division of microseconds into whole seconds and the millisecond part (0..999).
struct SecondsAndMillis {
  std::int64_t seconds;
  int millis;
};
constexpr SecondsAndMillis splitMicros(std::int64_t micros) {
  std::int64_t s = micros / 1000000;
  std::int64_t rest = micros % 1000000;
  if (rest < 0) {
    --s;
    rest += 1000000;
  }
  return {s, static_cast<int>(rest / 1000)};
}

}  // namespace velmar::log4z
