// scenario_test.cpp: the virtual reader's scenario file.
#include "scenario.h"

#include <gtest/gtest.h>

namespace dpfpdd_virtual {
namespace {

TEST(Scenario, EmptyTextGivesTheDefault) {
  Scenario s;
  std::string error;
  ASSERT_TRUE(parseScenario("", s, error));
  EXPECT_EQ(s.initResult, 0);
  EXPECT_FALSE(s.firstQuerySucceeds);
  EXPECT_EQ(s.listedCount(), 1u);
  EXPECT_EQ(s.report, Report::Image);
  EXPECT_EQ(s.delayMs, 1000u);
}

TEST(Scenario, ReadsEveryKey) {
  const char* text =
      "# comment\n"
      "[reader]\n"
      "init = 7\r\n"
      "first_query = success\n"
      "readers = 2\n"
      "listed = 0\n"
      "reader_name = My reader\n"
      "open = 0x05BA001E\n"
      "capture = 0x05BA0014\n"
      "report = error\n"
      "report_error = 0x05BA001F\n"
      "delay_ms = 250\n"
      "image = finger.pgm\n"
      "width = 320\n"
      "height = 480\n"
      "seed = 9\n"
      "fingers = 2\n"
      "specks = 3\n"
      "close = 0x05BA0015\n"
      "exit = -5\n"
      "trace = calls.txt\n";
  Scenario s;
  std::string error;
  ASSERT_TRUE(parseScenario(text, s, error)) << error;
  EXPECT_EQ(s.initResult, 7);
  EXPECT_TRUE(s.firstQuerySucceeds);
  EXPECT_EQ(s.readers, 2u);
  EXPECT_EQ(s.listedCount(), 0u);
  EXPECT_EQ(s.readerName, "My reader");
  EXPECT_EQ(s.openResult, 0x05BA001E);
  EXPECT_EQ(s.captureResult, 0x05BA0014);
  EXPECT_EQ(s.report, Report::Error);
  EXPECT_EQ(s.reportError, 0x05BA001F);
  EXPECT_EQ(s.delayMs, 250u);
  EXPECT_EQ(s.image, "finger.pgm");
  EXPECT_EQ(s.width, 320u);
  EXPECT_EQ(s.height, 480u);
  EXPECT_EQ(s.seed, 9u);
  EXPECT_EQ(s.fingers, 2u);
  EXPECT_EQ(s.specks, 3u);
  EXPECT_EQ(s.closeResult, 0x05BA0015);
  EXPECT_EQ(s.exitResult, -5);
  EXPECT_EQ(s.trace, "calls.txt");
}

TEST(Scenario, ReportKinds) {
  const std::pair<const char*, Report> kCases[] = {{"image", Report::Image},
                                                   {"error", Report::Error},
                                                   {"cancelled", Report::Cancelled},
                                                   {"faulty", Report::Faulty},
                                                   {"none", Report::None}};
  for (const auto& [word, want] : kCases) {
    SCOPED_TRACE(word);
    Scenario s;
    std::string error;
    ASSERT_TRUE(parseScenario(std::string("report=") + word, s, error)) << error;
    EXPECT_EQ(s.report, want);
  }
}

TEST(Scenario, BadLinesAreRefusedWithTheirLineNumber) {
  struct Case { const char* text; const char* where; };
  const Case kCases[] = {
      {"init = 0\nnonsense\n", "line 2"},
      {"colour = red", "unknown key"},
      {"open = 12x", "bad result value"},
      {"open = 0x1FFFFFFFF", "bad result value"},
      {"delay_ms = -1", "bad number"},
      {"width = 0", "image side"},
      {"height = 5000", "image side"},
      {"report = maybe", "report is"},
      {"first_query = sometimes", "first_query"},
      {"report_error = 0", "must not be 0"},
      {"reader_name =", "reader_name"},
      {"fingers = 3", "fingers is"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    Scenario s;
    s.readers = 42;
    std::string error;
    EXPECT_FALSE(parseScenario(c.text, s, error));
    EXPECT_NE(error.find(c.where), std::string::npos) << error;
    EXPECT_EQ(s.readers, 42u) << "a failed parse leaves the output alone";
  }
}

}  // namespace
}  // namespace dpfpdd_virtual
