// log_line_header.h: the header every log line starts with,
// "2026-12-07 09:05:03.042 [0716] LOG_INFO ", and the local day it is computed from.
// Portable. A LocalDayCache belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "local_time.h"

namespace velmar::log4z {

// One local calendar day: its date and the second (since 1970) of its local midnight.
struct LocalDay {
  int year = 1970;
  int month = 1;
  int day = 1;
  std::int64_t midnight = 0;
};

// The local day that contains `seconds`.
LocalDay localDayOf(std::int64_t seconds);

// True when `seconds` lies from the day's midnight up to 86399 seconds after it.
constexpr bool isWithinDay(std::int64_t dayMidnight, std::int64_t seconds) {
  return seconds >= dayMidnight && seconds - dayMidnight <= 86399;
}

// The calendar values of `seconds` taken from its day: the time of day is the distance from the
// day's midnight.
LocalDateTime dateTimeWithin(const LocalDay& day, std::int64_t seconds);

// Keeps the local day of the last line a thread wrote, so the time conversion runs once a day.
class LocalDayCache {
 public:
  const LocalDay& dayOf(std::int64_t seconds);

 private:
  LocalDay day_{};
  bool valid_ = false;
};

// Writes the header of a line of `level` at `seconds`.`millis` from thread `threadId` into out
// (NUL-terminated, cut to capacity) and returns its length.
int formatLineHeader(char* out, std::size_t capacity, const LocalDay& day, std::int64_t seconds,
                     int millis, unsigned long threadId, int level);

}  // namespace velmar::log4z
