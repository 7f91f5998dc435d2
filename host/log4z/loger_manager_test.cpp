// Tests of LogerManager under Wine: real files in a fresh directory, an injected clock, and a hold on
// the writer where lines and commands must be queued behind each other.
#include "loger_manager.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

#include "log4z_test_support_win.h"
#include "log4z_write.h"
#include "win/utf8_wide.h"

namespace velmar::log4z {
namespace {

using testing::FakeClock;
using testing::TestDir;
using testing::filesIn;
using testing::fileExists;
using testing::pid6;
using testing::readFile;
using testing::splitLines;
using testing::tid4;

const std::string kProcess = "log4z_win_test";

// The text of a line after "date time [tid] LEVEL ".
std::string textOf(const std::string& line) {
  std::size_t at = 0;
  for (int spaces = 0; spaces < 4; ++spaces) {
    at = line.find(' ', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  return line.substr(at);
}

// The texts of all lines of all files in a directory, start lines left out.
std::vector<std::string> textsIn(const std::string& dir) {
  std::vector<std::string> texts;
  for (const std::string& file : filesIn(dir)) {
    for (const std::string& line : splitLines(readFile(dir + file))) {
      const std::string text = textOf(line);
      if (text.find("log4z thread started!") != std::string::npos) continue;
      if (text.rfind("logger id=", 0) == 0) continue;
      texts.push_back(text);
    }
  }
  return texts;
}

// A manager writing into dir, without console echo, on the given clock.
struct Fixture {
  explicit Fixture(FakeClock* clock = nullptr)
      : log(clock ? Log4zClock([clock] { return (*clock)(); }) : Log4zClock(systemClockMicros)) {
    log.setPath(0, dir.path());
    log.setDisplay(0, false);
  }
  TestDir dir;
  LogerManager log;
};

TEST(LogerManager, WritesHeaderedLinesIntoTheNamedFiles) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 9, 5, 3, 42);
  Fixture f(&clock);
  const int plain = f.log.CreateLogger("Plain");
  const int monthly = f.log.CreateLogger("Monthly");
  for (int id : {plain, monthly}) {
    f.log.setEnable(id, true);
    f.log.setPath(id, f.dir.path());
    f.log.setDisplay(id, false);
  }
  f.log.setFileLine(plain, false);
  f.log.setMonthDir(monthly, true);
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "hello", "C:\\src\\host\\capture.cpp", 42));
  EXPECT_TRUE(writeLine(f.log, plain, LOG_WARN, "plain", "C:\\src\\host\\capture.cpp", 43));
  EXPECT_TRUE(writeLine(f.log, monthly, LOG_ERROR, "monthly", "/src/host/child.cpp", 7));
  ASSERT_TRUE(f.log.stop());

  const std::string tail = "_202612070905_" + pid6() + "_000.log";
  const std::string head = "2026-12-07 09:05:03.042 [" + tid4() + "] ";
  const std::string mainFile = kProcess + "_Main" + tail;
  const std::string plainFile = kProcess + "_Plain" + tail;
  EXPECT_EQ(filesIn(f.dir.path()), (std::vector<std::string>{mainFile, plainFile}));

  const auto mainLines = splitLines(readFile(f.dir.path() + mainFile));
  ASSERT_EQ(mainLines.size(), 5u);  // start line, three logger descriptions, the line
  EXPECT_NE(mainLines[2].find("LOG_ALARM logger id=1 key=Plain name=Plain path=" + f.dir.path() +
                              " level=1 display=false"),
            std::string::npos);
  EXPECT_EQ(mainLines[4], head + "LOG_INFO hello capture.cpp:42");
  EXPECT_EQ(readFile(f.dir.path() + plainFile), head + "LOG_WARN plain\r\n");
  EXPECT_EQ(readFile(f.dir.path() + "2026_12\\" + kProcess + "_Monthly" + tail),
            head + "LOG_ERROR monthly child.cpp:7\r\n");
}

TEST(LogerManager, LevelsBelowTheLoggerLevelAreNeverFormatted) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 9, 0, 0);
  Fixture f(&clock);
  f.log.setLevel(0, LOG_INFO);
  ASSERT_TRUE(f.log.start());
  struct Case {
    int level;
    bool written;
  };
  const Case cases[] = {{LOG_TRACE, false}, {LOG_DEBUG, false}, {LOG_INFO, true},
                        {LOG_FATAL, true},  {-1, false},        {7, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    const int readsBefore = clock.reads.load();  // newLogData reads the clock once per line
    EXPECT_EQ(writeLine(f.log, 0, c.level, "level " + std::to_string(c.level)), c.written);
    EXPECT_EQ(clock.reads.load() - readsBefore, c.written ? 1 : 0);
  }
  ASSERT_TRUE(f.log.stop());
  EXPECT_EQ(textsIn(f.dir.path()), (std::vector<std::string>{"level 2", "level 6"}));
}

TEST(LogerManager, QueuedLinesAreJudgedByTheLevelOfTheirTime) {
  Fixture f;
  ASSERT_TRUE(f.log.start());
  {
    LogerManager::WriterHold hold(f.log);
    EXPECT_TRUE(writeLine(f.log, 0, LOG_DEBUG, "debug before raise"));
    EXPECT_TRUE(f.log.setLevel(0, LOG_WARN));
    writeLine(f.log, 0, LOG_DEBUG, "debug after raise");
    EXPECT_TRUE(writeLine(f.log, 0, LOG_WARN, "warn after raise"));
    EXPECT_TRUE(f.log.setLevel(0, LOG_DEBUG));
    EXPECT_TRUE(f.log.acceptsLevel(0, LOG_DEBUG));  // lowering applies at once
    EXPECT_TRUE(writeLine(f.log, 0, LOG_DEBUG, "debug after lower"));
    EXPECT_GE(f.log.queueLength(), 5u);  // nothing written yet
  }
  ASSERT_TRUE(f.log.stop());
  EXPECT_EQ(textsIn(f.dir.path()), (std::vector<std::string>{"debug before raise", "warn after raise",
                                                             "debug after lower"}));
}

TEST(LogerManager, TheLastEnableOrDisableWins) {
  Fixture f;
  ASSERT_TRUE(f.log.start());
  {
    LogerManager::WriterHold hold(f.log);
    EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "before"));
    EXPECT_TRUE(f.log.setEnable(0, false));
    EXPECT_FALSE(writeLine(f.log, 0, LOG_INFO, "while disabled"));
    EXPECT_TRUE(f.log.setEnable(0, true));
    EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "after enable"));
  }
  ASSERT_TRUE(f.log.stop());
  EXPECT_TRUE(f.log.isEnabled(0));
  EXPECT_EQ(textsIn(f.dir.path()), (std::vector<std::string>{"before", "after enable"}));
}

TEST(LogerManager, LineLongerThanTheContentAreaIsCutAndEndsInCrLf) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 9, 5, 3, 42);
  Fixture f(&clock);
  f.log.setFileLine(0, false);
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, std::string(10000, 'x'), "capture.cpp", 1));
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "next"));
  ASSERT_TRUE(f.log.stop());
  const auto files = filesIn(f.dir.path());
  ASSERT_EQ(files.size(), 1u);
  const std::string bytes = readFile(f.dir.path() + files[0]);
  const std::string head = "2026-12-07 09:05:03.042 [" + tid4() + "] LOG_INFO ";
  const std::string cut = head + std::string(8189 - head.size(), 'x') + "\r\n";
  ASSERT_NE(bytes.find(cut), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.find(cut) + cut.size()), head + "next\r\n");
}

// Lines of about 8 KB; 140 of them pass a limit of 1 MB.
const std::string kBigText(8000, 'r');

TEST(LogerManager, FullFileContinuesInTheNextIndexWithTheCurrentMinute) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 10, 0, 0);
  Fixture f(&clock);
  f.log.setLimitSize(0, 1);
  ASSERT_TRUE(f.log.start());
  for (int i = 0; i < 140; ++i) {
    EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, kBigText));
    clock.advanceSeconds(1);
  }
  ASSERT_TRUE(f.log.stop());

  const auto files = filesIn(f.dir.path());
  ASSERT_EQ(files.size(), 2u);
  const std::string first = kProcess + "_Main_202612071000_" + pid6() + "_000.log";
  ASSERT_EQ(files[0], first);
  const std::string firstBytes = readFile(f.dir.path() + first);
  const auto firstLines = splitLines(firstBytes);
  EXPECT_GT(firstBytes.size(), 1048576u);
  EXPECT_LE(firstBytes.size() - (firstLines.back().size() + 2), 1048576u);

  // The second file is named after the time of its first line.
  const auto secondLines = splitLines(readFile(f.dir.path() + files[1]));
  ASSERT_FALSE(secondLines.empty());
  const std::string& line = secondLines[0];
  const std::string stamp = line.substr(0, 4) + line.substr(5, 2) + line.substr(8, 2) +
                            line.substr(11, 2) + line.substr(14, 2);
  EXPECT_NE(stamp, "202612071000");
  EXPECT_EQ(files[1], kProcess + "_Main_" + stamp + "_" + pid6() + "_001.log");
  EXPECT_EQ(firstLines.size() - 2 + secondLines.size(), 140u);  // no line lost in the roll
}

TEST(LogerManager, LineAfterLocalMidnightStartsANewFileAtIndexZero) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 23, 59, 0);
  Fixture f(&clock);
  f.log.setLimitSize(0, 1);
  ASSERT_TRUE(f.log.start());
  for (int i = 0; i < 140; ++i) EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, kBigText));
  clock.setLocal(2026, 12, 7, 23, 59, 59);
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "last of the day"));
  clock.setLocal(2026, 12, 8, 0, 0, 1);
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "after midnight"));
  ASSERT_TRUE(f.log.stop());

  const std::string pid = pid6();
  EXPECT_EQ(filesIn(f.dir.path()),
            (std::vector<std::string>{kProcess + "_Main_202612072359_" + pid + "_000.log",
                                      kProcess + "_Main_202612072359_" + pid + "_001.log",
                                      kProcess + "_Main_202612080000_" + pid + "_000.log"}));
  const auto dayEnd =
      splitLines(readFile(f.dir.path() + kProcess + "_Main_202612072359_" + pid + "_001.log"));
  ASSERT_FALSE(dayEnd.empty());
  EXPECT_EQ(dayEnd.back(), "2026-12-07 23:59:59.000 [" + tid4() + "] LOG_INFO last of the day");
  EXPECT_EQ(readFile(f.dir.path() + kProcess + "_Main_202612080000_" + pid + "_000.log"),
            "2026-12-08 00:00:01.000 [" + tid4() + "] LOG_INFO after midnight\r\n");
}

TEST(LogerManager, FourThreadsWritingTogetherLoseNoLine) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 25000;
  Fixture f;
  f.log.setLimitSize(0, 1);  // several rolls while the threads write
  ASSERT_TRUE(f.log.start());
  std::atomic<int> refused{0};
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&f, &refused, t] {
      for (int i = 0; i < kPerThread; ++i) {
        if (!writeLine(f.log, 0, LOG_INFO, "t" + std::to_string(t) + " n" + std::to_string(i))) ++refused;
      }
    });
  }
  for (auto& w : writers) w.join();
  ASSERT_TRUE(f.log.stop());
  EXPECT_EQ(refused.load(), 0);

  std::vector<std::vector<bool>> seen(kThreads, std::vector<bool>(kPerThread, false));
  int lines = 0;
  int duplicates = 0;
  const std::regex pattern(R"(t(\d) n(\d+))");
  for (const std::string& text : textsIn(f.dir.path())) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, pattern)) << text;
    const int t = std::stoi(m[1]);
    const int i = std::stoi(m[2]);
    ASSERT_TRUE(t < kThreads && i < kPerThread) << text;
    if (seen[t][i]) ++duplicates;
    seen[t][i] = true;
    ++lines;
  }
  EXPECT_EQ(lines, kThreads * kPerThread);
  EXPECT_EQ(duplicates, 0);
  EXPECT_GT(filesIn(f.dir.path()).size(), 1u);
  EXPECT_EQ(f.log.totalPushed(), f.log.totalPopped());
  EXPECT_EQ(f.log.totalLinesWritten(), static_cast<std::uint64_t>(kThreads * kPerThread + 2));
}

TEST(LogerManager, StartStopAndRestart) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 12, 0, 0);
  Fixture f(&clock);
  EXPECT_FALSE(f.log.stop());
  EXPECT_FALSE(writeLine(f.log, 0, LOG_INFO, "before start"));
  ASSERT_TRUE(f.log.start());
  EXPECT_FALSE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "first run"));
  EXPECT_TRUE(f.log.stop());
  EXPECT_FALSE(f.log.stop());
  EXPECT_EQ(f.log.pooledRecords(), 0u);
  EXPECT_FALSE(writeLine(f.log, 0, LOG_INFO, "while stopped"));
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "second run"));
  EXPECT_TRUE(f.log.stop());
  EXPECT_EQ(textsIn(f.dir.path()), (std::vector<std::string>{"first run", "second run"}));
}

// A writer started again later the same day goes on in the file it left (the DLL runs its writer per
// capture); a setting changed meanwhile starts a new file.
TEST(LogerManager, RestartTheSameDayContinuesTheFile) {
  FakeClock clock;
  clock.setLocal(2026, 12, 7, 12, 0, 0);
  Fixture f(&clock);
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "first capture"));
  ASSERT_TRUE(f.log.drain(10000));
  clock.setLocal(2026, 12, 7, 12, 7, 0);
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "second capture"));
  ASSERT_TRUE(f.log.drain(10000));
  const std::string first = kProcess + "_Main_202612071200_" + pid6() + "_000.log";
  EXPECT_EQ(filesIn(f.dir.path()), (std::vector<std::string>{first}));
  EXPECT_EQ(textsIn(f.dir.path()), (std::vector<std::string>{"first capture", "second capture"}));

  clock.setLocal(2026, 12, 7, 12, 9, 0);
  f.log.setName(0, "Renamed");
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "third capture"));
  ASSERT_TRUE(f.log.drain(10000));
  EXPECT_EQ(filesIn(f.dir.path()).size(), 2u);
}

TEST(LogerManager, SettersRefuseInvalidIdsAndOverlongTexts) {
  LogerManager log;
  EXPECT_FALSE(log.setLevel(1, LOG_INFO));  // only id 0 is in use
  EXPECT_FALSE(log.setPath(-1, "x"));
  EXPECT_FALSE(log.setName(0, std::string(8192, 'n')));
  EXPECT_TRUE(log.setName(0, std::string(8191, 'n')));
  for (int i = 1; i < LOGGER_MAX; ++i) EXPECT_EQ(log.CreateLogger("L" + std::to_string(i)), i);
  EXPECT_EQ(log.CreateLogger("one too many"), kInvalidLoggerId);
  EXPECT_EQ(log.CreateLogger("L5"), 5);
  EXPECT_EQ(log.lookupLogger("L5"), 5);
  EXPECT_EQ(log.lookupLogger("none"), kInvalidLoggerId);
  EXPECT_TRUE(log.setLevel(LOGGER_MAX - 1, LOG_INFO));
  EXPECT_EQ(log.enabledLoggerCount(), 1);
  EXPECT_TRUE(log.setEnable(3, true));
  EXPECT_TRUE(log.isEnabled(3));
  EXPECT_EQ(log.enabledLoggerCount(), 2);
}

TEST(LogerManager, FileThatCannotBeOpenedTurnsFileOutputOff) {
  Fixture f;
  const std::string blocker = f.dir.path() + "blocker";
  std::FILE* file = _wfopen(win::wideFromUtf8(blocker).c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  f.log.setPath(0, blocker + "\\logs");  // a directory below a plain file cannot exist
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "lost"));
  f.log.setPath(0, f.dir.path());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "file output still off"));
  ASSERT_TRUE(f.log.stop());
  EXPECT_EQ(filesIn(f.dir.path()), (std::vector<std::string>{"blocker"}));

  EXPECT_TRUE(f.log.setOutFile(0, true));
  ASSERT_TRUE(f.log.start());
  EXPECT_TRUE(writeLine(f.log, 0, LOG_INFO, "back on"));
  ASSERT_TRUE(f.log.stop());
  const auto texts = textsIn(f.dir.path());
  EXPECT_EQ(texts, (std::vector<std::string>{"back on"}));
}

}  // namespace
}  // namespace velmar::log4z
