// scenario_test.cpp: the virtual scanner's scenario text: keys, defaults, timelines and bad lines.
#include "scenario.h"

#include <gtest/gtest.h>

namespace velmar::futronic {
namespace {

using Kind = TimelineStep::Kind;

TEST(Scenario, EmptyTextGivesDefaultsWithFingerAfterTwentyRounds) {
  const ParseResult r = parseScenario("");
  EXPECT_TRUE(r.problems.empty());
  EXPECT_EQ(r.scenario.openError, 0u);
  EXPECT_EQ(r.scenario.width, 320);
  EXPECT_EQ(r.scenario.height, 480);
  EXPECT_EQ(r.scenario.image, "synthetic");
  EXPECT_EQ(stepAt(r.scenario.timeline, 19).kind, Kind::None);
  EXPECT_EQ(stepAt(r.scenario.timeline, 20).kind, Kind::Finger);
  EXPECT_EQ(stepAt(r.scenario.timeline, 100000).kind, Kind::Finger);
}

TEST(Scenario, EveryKeyIsRead) {
  const ParseResult r = parseScenario(
      "# comment\n"
      "[scanner]\r\n"
      "Device = absent\n"
      "image_size_error = 0x1F\n"
      "options_error = 5\n"
      "diodes_error = 31\n"
      "width = 300\n"
      "height=400\n"
      "image = fingers/one.pgm\n"
      "synthetic = two-fingers\n"
      "seed = 7\n"
      "ridge_period = 9.5\n"
      "pressure = 0.25\n"
      "timeline = blank*2, finger\n"
      "nfiq = 4\n"
      "nfiq_error = 87\n"
      "template_max_size = 0\n"
      "template_size = 100\n"
      "template_error = 0x20000001\n"
      "frame_delay_ms = 1500\n"
      "trace = calls.txt\n");
  ASSERT_TRUE(r.problems.empty()) << r.problems.front();
  const Scenario& s = r.scenario;
  EXPECT_EQ(s.openError, 2u);
  EXPECT_EQ(s.imageSizeError, 31u);
  EXPECT_EQ(s.optionsError, 5u);
  EXPECT_EQ(s.diodesError, 31u);
  EXPECT_EQ(s.width, 300);
  EXPECT_EQ(s.height, 400);
  EXPECT_EQ(s.image, "fingers/one.pgm");
  EXPECT_EQ(s.synthetic, "two-fingers");
  EXPECT_EQ(s.seed, 7u);
  EXPECT_DOUBLE_EQ(s.ridgePeriod, 9.5);
  EXPECT_DOUBLE_EQ(s.pressure, 0.25);
  ASSERT_EQ(s.timeline.size(), 2u);
  EXPECT_EQ(s.timeline[0].kind, Kind::Blank);
  EXPECT_EQ(s.nfiq, 4);
  EXPECT_EQ(s.nfiqError, 87u);
  EXPECT_EQ(s.templateMaxSize, 0);
  EXPECT_EQ(s.templateSize, 100);
  EXPECT_EQ(s.templateError, 0x20000001u);
  EXPECT_EQ(s.frameDelayMs, 1500);
  EXPECT_EQ(s.trace, "calls.txt");
}

TEST(Scenario, OpenErrorAfterDeviceLineWins) {
  EXPECT_EQ(parseScenario("device = absent\nopen_error = 31\n").scenario.openError, 31u);
}

TEST(Scenario, BadLinesAreReportedAndLeaveDefaults) {
  struct Case {
    const char* line;
    const char* problem;
  };
  const Case cases[] = {
      {"width = 0", "bad value for 'width'"},
      {"width = 12x", "bad value for 'width'"},
      {"nfiq = 6", "bad value for 'nfiq'"},
      {"device = maybe", "bad value for 'device'"},
      {"open_error = -1", "bad value for 'open_error'"},
      {"synthetic = three", "bad value for 'synthetic'"},
      {"pressure = 1.5", "bad value for 'pressure'"},
      {"ridge_period = wide", "bad value for 'ridge_period'"},
      {"colour = red", "unknown key 'colour'"},
      {"just text", "no '='"},
      {"timeline = finger, wobble", "unknown step 'wobble'"},
      {"timeline = error*3", "non-zero code"},
      {"timeline = finger*0", "bad round count"},
      {"timeline = none:5", "takes no argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ParseResult r = parseScenario(std::string(c.line) + "\n");
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems[0].find("line 1: "), std::string::npos) << r.problems[0];
    EXPECT_NE(r.problems[0].find(c.problem), std::string::npos) << r.problems[0];
    const Scenario defaults;
    EXPECT_EQ(r.scenario.width, defaults.width);
    EXPECT_EQ(r.scenario.nfiq, defaults.nfiq);
    EXPECT_EQ(r.scenario.timeline.size(), defaults.timeline.size());
  }
}

TEST(Timeline, StepsFollowEachOtherAndTheLastRepeats) {
  std::string problem;
  const auto t = parseTimeline("none*2, finger*2, error:4306, error:0x20000001*2, finger", &problem);
  ASSERT_EQ(t.size(), 5u) << problem;
  const Kind want[] = {Kind::None,  Kind::None,  Kind::Finger, Kind::Finger, Kind::Error,
                       Kind::Error, Kind::Error, Kind::Finger, Kind::Finger};
  for (std::uint64_t round = 0; round < std::size(want); ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(stepAt(t, round).kind, want[round]);
  }
  EXPECT_EQ(stepAt(t, 4).error, 4306u);
  EXPECT_EQ(stepAt(t, 6).error, 0x20000001u);
}

}  // namespace
}  // namespace velmar::futronic
