#include "log_line_header.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "log_levels.h"

namespace velmar::log4z {
namespace {

std::string header(const LocalDay& day, std::int64_t seconds, int millis, unsigned long tid,
                   int level) {
  char out[128];
  const int n = formatLineHeader(out, sizeof out, day, seconds, millis, tid, level);
  return std::string(out, static_cast<std::size_t>(n));
}

TEST(LineHeader, ExactFormat) {
  const LocalDay day{2026, 12, 7, 1796601600};
  struct Case {
    std::int64_t sinceMidnight;
    int millis;
    unsigned long tid;
    int level;
    const char* want;
  };
  const Case cases[] = {
      {9 * 3600 + 5 * 60 + 3, 42, 716, LOG_INFO, "2026-12-07 09:05:03.042 [0716] LOG_INFO "},
      {0, 0, 0, LOG_TRACE, "2026-12-07 00:00:00.000 [0000] LOG_TRACE "},
      {86399, 999, 123456, LOG_FATAL, "2026-12-07 23:59:59.999 [123456] LOG_FATAL "},
      {13 * 3600 + 30 * 60, 5, 9, LOG_ALARM, "2026-12-07 13:30:00.005 [0009] LOG_ALARM "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(header(day, day.midnight + c.sinceMidnight, c.millis, c.tid, c.level), c.want);
  }
}

TEST(LineHeader, CutToTheCapacityGiven) {
  const LocalDay day{2026, 12, 7, 0};
  char out[11];
  EXPECT_EQ(formatLineHeader(out, sizeof out, day, 3600, 0, 716, LOG_INFO), 10);
  EXPECT_STREQ(out, "2026-12-07");
}

TEST(LocalTime, FileTimeAndMicrosecondSplits) {
  EXPECT_EQ(unixMicrosFromFileTime(116444736000000000ULL), 0);
  EXPECT_EQ(unixMicrosFromFileTime(116444736000000000ULL + 10 * 1234567), 1234567);
  EXPECT_EQ(splitMicros(1234567).seconds, 1);
  EXPECT_EQ(splitMicros(1234567).millis, 234);
  EXPECT_EQ(splitMicros(-1).seconds, -1);
  EXPECT_EQ(splitMicros(-1).millis, 999);
}

TEST(LocalDay, AgreesWithTheLocalCalendarAroundTheDay) {
  const std::int64_t samples[] = {0, 1796601600, 1796601600 + 45296, 1796688000 - 1, 1893456000};
  for (std::int64_t s : samples) {
    SCOPED_TRACE(s);
    const LocalDay day = localDayOf(s);
    EXPECT_TRUE(isWithinDay(day.midnight, s));
    const LocalDateTime want = toLocalDateTime(s);
    const LocalDateTime got = dateTimeWithin(day, s);
    EXPECT_EQ(got.year, want.year);
    EXPECT_EQ(got.month, want.month);
    EXPECT_EQ(got.day, want.day);
    EXPECT_EQ(got.hour, want.hour);
    EXPECT_EQ(got.minute, want.minute);
    EXPECT_EQ(got.second, want.second);
    const LocalDateTime atMidnight = toLocalDateTime(day.midnight);
    EXPECT_EQ(atMidnight.hour * 3600 + atMidnight.minute * 60 + atMidnight.second, 0);
  }
}

TEST(LocalDay, CacheMovesToTheNextDayAtLocalMidnight) {
  LocalDayCache cache;
  const LocalDay first = cache.dayOf(1796601600 + 3600);
  const std::int64_t lastSecond = first.midnight + 86399;
  EXPECT_EQ(cache.dayOf(lastSecond).day, first.day);
  const LocalDay next = cache.dayOf(lastSecond + 1);
  EXPECT_EQ(next.midnight, lastSecond + 1);
  EXPECT_NE(next.day, first.day);
  EXPECT_EQ(cache.dayOf(first.midnight).day, first.day);  // back in time recomputes too
}

#ifndef _WIN32
// The day follows the local zone, not UTC: in a zone five hours behind UTC, 03:00 UTC on
// 2026-12-08 is still 22:00 on the 7th.
TEST(LocalDay, FollowsTheLocalZone) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "<-05>5", 1);
  tzset();
  const std::int64_t utc0300 = 1796698800;  // 2026-12-08 03:00:00 UTC
  const LocalDay day = localDayOf(utc0300);
  const std::string got = header(day, utc0300, 0, 1, LOG_INFO);
  if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
  EXPECT_EQ(day.day, 7);
  EXPECT_EQ(day.midnight, 1796601600 + 5 * 3600);
  EXPECT_EQ(got, "2026-12-07 22:00:00.000 [0001] LOG_INFO ");
}
#endif

}  // namespace
}  // namespace velmar::log4z
