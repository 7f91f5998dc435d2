#include "local_time.h"

#include <ctime>

namespace velmar::log4z {
namespace {

// Proleptic Gregorian calendar from days since 1970-01-01 (Howard Hinnant's civil_from_days).
LocalDateTime utcDateTime(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  LocalDateTime t;
  t.year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  t.month = static_cast<int>(m);
  t.day = static_cast<int>(d);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

}  // namespace

LocalDateTime toLocalDateTime(std::int64_t seconds) {
  const std::time_t value = static_cast<std::time_t>(seconds);
  std::tm tm{};
#ifdef _WIN32
  const bool ok = localtime_s(&tm, &value) == 0;
#else
  const bool ok = localtime_r(&value, &tm) != nullptr;
#endif
  if (!ok || static_cast<std::int64_t>(value) != seconds) return utcDateTime(seconds);
  LocalDateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

}  // namespace velmar::log4z
