#include "log_file_rules.h"

#include <gtest/gtest.h>

namespace velmar::log4z {
namespace {

TEST(LogFileRules, LimitInBytesNeverWrapsToASmallLimit) {
  struct Case {
    std::uint32_t megabytes;
    std::uint64_t want;
  };
  const Case cases[] = {
      {1, 1048576},          {100, 104857600},          {4095, kMaxLimitBytes},
      {4096, kMaxLimitBytes}, {5000, kMaxLimitBytes},    {0xFFFFFFFFu, kMaxLimitBytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.megabytes);
    EXPECT_EQ(limitSizeBytes(c.megabytes), c.want);
  }
}

TEST(LogFileRules, DayAndSizeDecideTheFile) {
  const std::int64_t midnight = 1796601600;
  const std::uint64_t limit = 1048576;
  struct Case {
    const char* name;
    std::int64_t second;
    std::uint64_t written;
    FileChoice want;
  };
  const Case cases[] = {
      {"first second of the day", midnight, 0, FileChoice::Keep},
      {"last second of the day", midnight + 86399, 10, FileChoice::Keep},
      {"written equals the limit", midnight + 5, limit, FileChoice::Keep},
      {"one byte over the limit", midnight + 5, limit + 1, FileChoice::NextIndex},
      {"next day", midnight + 86400, 0, FileChoice::NewDay},
      {"next day and full", midnight + 86401, limit + 1, FileChoice::NewDay},
      {"clock went back a day", midnight - 1, 0, FileChoice::NewDay},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(chooseFile(c.second, midnight, limit, c.written), c.want);
  }
}

TEST(LogFileRules, FileNameAndDirectory) {
  const LocalDateTime created{2026, 12, 7, 9, 5, 3};
  EXPECT_EQ(logFileName("./log-device-velmar/", "velmar-device", "Main", created, "004812", 0),
            "./log-device-velmar/velmar-device_Main_202612070905_004812_000.log");
  EXPECT_EQ(logFileName("d/", "p", "n", LocalDateTime{2027, 1, 2, 0, 0, 0}, "000001", 12),
            "d/p_n_202701020000_000001_012.log");
  EXPECT_EQ(logFileDirectory("./log/", true, created), "./log/2026_12/");
  EXPECT_EQ(logFileDirectory("./log/", false, created), "./log/");
  EXPECT_EQ(pidText(4812), "004812");
  EXPECT_EQ(pidText(1234567), "1234567");
}

TEST(LogFileRules, DirectoryLevelsToCreate) {
  using Levels = std::vector<std::string>;
  struct Case {
    const char* dir;
    Levels want;
  };
  const Case cases[] = {
      {"./log-device-velmar/", {"./log-device-velmar"}},
      {"a/b\\c/", {"a", "a/b", "a/b\\c"}},
      {"C:\\logs\\x\\", {"C:\\logs", "C:\\logs\\x"}},
      {"/var/log/", {"/var", "/var/log"}},
      {"../up/2026_12/", {"../up", "../up/2026_12"}},
      {"no-slash", {"no-slash"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dir);
    EXPECT_EQ(directoryLevels(c.dir), c.want);
  }
}

std::deque<RememberedFile> filesCreatedAt(std::initializer_list<std::int64_t> times) {
  std::deque<RememberedFile> files;
  for (std::int64_t t : times) files.push_back({"f" + std::to_string(t), t});
  return files;
}

TEST(LogFileRules, PruningKeepsSevenAndStopsAtTheFirstYoungerFile) {
  {
    SCOPED_TRACE("two old files beyond seven");
    auto files = filesCreatedAt({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(pruneRememberedFiles(files, 100, 50), (std::vector<std::string>{"f1", "f2"}));
    EXPECT_EQ(files.size(), 7u);
    EXPECT_EQ(files.front().name, "f3");
  }
  {
    SCOPED_TRACE("a younger file stops the pruning");
    auto files = filesCreatedAt({1, 80, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(pruneRememberedFiles(files, 100, 50), (std::vector<std::string>{"f1"}));
    EXPECT_EQ(files.size(), 8u);
  }
  {
    SCOPED_TRACE("reserve 0 keeps everything");
    auto files = filesCreatedAt({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_TRUE(pruneRememberedFiles(files, 100, 0).empty());
    EXPECT_EQ(files.size(), 9u);
  }
  {
    SCOPED_TRACE("seven files are never pruned");
    auto files = filesCreatedAt({1, 2, 3, 4, 5, 6, 7});
    EXPECT_TRUE(pruneRememberedFiles(files, 100, 1).empty());
  }
}

TEST(LogFileRules, ReopenedFileIsRememberedOnce) {
  std::deque<RememberedFile> files;
  rememberFile(files, "a.log", 1);
  rememberFile(files, "a.log", 2);
  rememberFile(files, "b.log", 3);
  rememberFile(files, "a.log", 4);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].created, 1);
  EXPECT_EQ(files[2].name, "a.log");
}

}  // namespace
}  // namespace velmar::log4z
