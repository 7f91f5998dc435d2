#include "log_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "log_levels.h"

namespace velmar::log4z {
namespace {

std::unique_ptr<LogData> recordWith(std::string_view text) {
  auto record = std::make_unique<LogData>();
  record->contentLength = 0;
  appendContent(*record, text);
  return record;
}

std::string contentOf(const LogData& record) {
  return std::string(record.content, static_cast<std::size_t>(record.contentLength));
}

TEST(LogData, TextLongerThanTheContentAreaIsCutAndStillEndsInCrLf) {
  auto record = recordWith("2026-12-07 09:05:03.042 [0716] LOG_INFO ");
  const std::string text(10000, 'x');
  EXPECT_EQ(appendContent(*record, text), static_cast<std::size_t>(kLogContentSize) - 40);
  appendSourceLocation(*record, "host/capture.cpp", 7);  // no room left: nothing may overflow
  finishLine(*record);
  ASSERT_EQ(record->contentLength, kLogContentSize - 1);
  EXPECT_EQ(contentOf(*record).substr(kLogContentSize - 3), "\r\n");
  EXPECT_EQ(record->content[kLogContentSize - 1], '\0');
  EXPECT_EQ(contentOf(*record).find("capture.cpp"), std::string::npos);
}

TEST(LogData, FinishLineCutsOnlyWhenFewerThanThreeBytesRemain) {
  struct Case {
    int length;
    int kept;  // content bytes before CR LF
  };
  const Case cases[] = {{0, 0}, {8188, 8188}, {8189, 8189}, {8190, 8189}, {8191, 8189}, {8192, 8189}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    auto record = recordWith(std::string(static_cast<std::size_t>(c.length), 'a'));
    finishLine(*record);
    EXPECT_EQ(record->contentLength, c.kept + 2);
    EXPECT_EQ(contentOf(*record), std::string(static_cast<std::size_t>(c.kept), 'a') + "\r\n");
  }
}

TEST(LogData, SourceLocationUsesTheBaseNameOfEitherSeparator) {
  struct Case {
    const char* file;
    int line;
    const char* want;
  };
  const Case cases[] = {
      {"C:\\src\\host\\capture_session.cpp", 42, "msg capture_session.cpp:42"},
      {"/work/host/pipe_reader.cpp", 7, "msg pipe_reader.cpp:7"},
      {"mixed/dir\\child.cpp", 1, "msg child.cpp:1"},
      {"plain.cpp", 0, "msg plain.cpp:0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto record = recordWith("msg");
    appendSourceLocation(*record, c.file, c.line);
    EXPECT_EQ(contentOf(*record), c.want);
  }
}

TEST(LogLevels, NamesAndColoursOfTheTableAndNothingOutsideIt) {
  const char* names[] = {"LOG_TRACE", "LOG_DEBUG", "LOG_INFO", "LOG_WARN",
                         "LOG_ERROR", "LOG_ALARM", "LOG_FATAL"};
  const int colours[] = {-1, -1, 3, 6, 4, 2, 5};
  for (int level = LOG_TRACE; level <= LOG_FATAL; ++level) {
    EXPECT_STREQ(levelName(level), names[level]);
    EXPECT_EQ(levelColour(level), colours[level]);
  }
  for (int level : {-1, 7, 1000}) {
    EXPECT_STREQ(levelName(level), "");
    EXPECT_EQ(levelColour(level), -1);
  }
}

}  // namespace
}  // namespace velmar::log4z
