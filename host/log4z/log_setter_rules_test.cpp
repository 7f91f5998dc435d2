#include "log_setter_rules.h"

#include <gtest/gtest.h>

#include "back_pressure.h"

namespace velmar::log4z {
namespace {

TEST(SetterRules, IdsTextsAndStoredValues) {
  EXPECT_TRUE(isValidLoggerId(0, 0));
  EXPECT_TRUE(isValidLoggerId(3, 3));
  EXPECT_FALSE(isValidLoggerId(4, 3));
  EXPECT_FALSE(isValidLoggerId(-1, 3));
  EXPECT_FALSE(isValidLoggerId(LOGGER_MAX, LOGGER_MAX));

  EXPECT_TRUE(isAcceptableText(std::string(8191, 'p')));
  EXPECT_FALSE(isAcceptableText(std::string(8192, 'p')));

  EXPECT_EQ(storedLimitSize(0), 0xFFFFFFFFu);
  EXPECT_EQ(storedLimitSize(7), 7u);
  EXPECT_EQ(storedReserve(-5), 0);
  EXPECT_EQ(storedReserve(60), 60);
}

TEST(SetterRules, PathsEndInASeparator) {
  struct Case {
    std::string in, want;
  };
  const Case cases[] = {
      {"./log-device-velmar", "./log-device-velmar/"},
      {"./log-device-velmar/", "./log-device-velmar/"},
      {"C:\\logs\\", "C:\\logs\\"},
      {std::string(8191, 'p'), std::string(8191, 'p') + "/"},  // the longest text still fits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.substr(0, 40));
    EXPECT_EQ(normalisedPath(c.in), c.want);
  }
}

TEST(BackPressure, DelayGrowsWithTheQueueAndIsCapped) {
  struct Case {
    std::size_t length;
    int want;
  };
  const Case cases[] = {{0, 0},      {20000, 0},   {20199, 0},   {20200, 1},
                        {30000, 50}, {39999, 99},  {40000, 100}, {static_cast<std::size_t>(-1), 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    EXPECT_EQ(backPressureDelay(c.length), c.want);
  }
}

TEST(BackPressure, SleepsWithAProbabilityOfCPercent) {
  int sleeps = 0;
  for (unsigned draw = 0; draw < 1000; ++draw) sleeps += backPressureSleeps(30, draw) ? 1 : 0;
  EXPECT_EQ(sleeps, 300);
  EXPECT_FALSE(backPressureSleeps(0, 0));
  EXPECT_TRUE(backPressureSleeps(100, 99));
  EXPECT_TRUE(backPressureSleeps(30, 129));
  EXPECT_FALSE(backPressureSleeps(30, 130));
}

}  // namespace
}  // namespace velmar::log4z
