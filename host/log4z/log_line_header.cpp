#include "log_line_header.h"

#include <cstdio>

#include "log_levels.h"

namespace velmar::log4z {

LocalDay localDayOf(std::int64_t seconds) {
  const LocalDateTime t = toLocalDateTime(seconds);
  LocalDay day;
  day.year = t.year;
  day.month = t.month;
  day.day = t.day;
  day.midnight = seconds - (t.hour * 3600 + t.minute * 60 + t.second);
  return day;
}

LocalDateTime dateTimeWithin(const LocalDay& day, std::int64_t seconds) {
  std::int64_t since = seconds - day.midnight;
  if (since < 0 || since > 86399) since = 0;  // not of this day: callers pick the right day first
  LocalDateTime t;
  t.year = day.year;
  t.month = day.month;
  t.day = day.day;
  t.hour = static_cast<int>(since / 3600);
  t.minute = static_cast<int>(since % 3600 / 60);
  t.second = static_cast<int>(since % 60);
  return t;
}

const LocalDay& LocalDayCache::dayOf(std::int64_t seconds) {
  if (!valid_ || !isWithinDay(day_.midnight, seconds)) {
    day_ = localDayOf(seconds);
    valid_ = true;
  }
  return day_;
}

int formatLineHeader(char* out, std::size_t capacity, const LocalDay& day, std::int64_t seconds,
                     int millis, unsigned long threadId, int level) {
  if (capacity == 0) return 0;
  const LocalDateTime t = dateTimeWithin(day, seconds);
  const int n = std::snprintf(out, capacity, "%04d-%02d-%02d %02d:%02d:%02d.%03d [%04lu] %s ", t.year,
                              t.month, t.day, t.hour, t.minute, t.second, millis, threadId,
                              levelName(level));
  if (n < 0) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<std::size_t>(n) < capacity ? n : static_cast<int>(capacity - 1);
}

}  // namespace velmar::log4z
