// Tests of the host's way into the logger: the configuration sequence of its main, one line through
// log4zWrite, and lines still queued when the program returns from main.
#include "log4z_write.h"

#include <gtest/gtest.h>

#include <regex>

#include "log4z.h"
#include "log4z_test_support_win.h"
#include "win/unique_handle.h"
#include "win/utf8_wide.h"

namespace velmar::log4z {
namespace {

using testing::TestDir;
using testing::filesIn;
using testing::pid6;
using testing::readFile;
using testing::splitLines;

// Runs with the given directory as the current one, and goes back afterwards.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) {
    wchar_t old[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, old);
    old_ = old;
    SetCurrentDirectoryW(win::wideFromUtf8(dir).c_str());
  }
  ~InDirectory() { SetCurrentDirectoryW(old_.c_str()); }

 private:
  std::wstring old_;
};

const char kHeader[] = R"((\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):\d\d\.\d{3} \[\d{4,}\] )";

TEST(HostLog, ConfigurationSequenceGivesTheHostFileAndItsFirstLines) {
  TestDir dir;
  std::vector<std::string> lines;
  std::string fileName;
  {
    InDirectory here(dir.path());
    ASSERT_TRUE(startHostLog("./log-device-velmar"));
    EXPECT_TRUE(log4zWrite(LOG_INFO, "first line", __FILE__, __LINE__));
    EXPECT_TRUE(log4zWrite(LOG_DEBUG, "debug line"));
    EXPECT_FALSE(log4zWrite(LOG_TRACE, "trace line"));
    ASSERT_TRUE(ILog4zManager::getInstance()->stop());
  }
  const std::string logDir = dir.path() + "log-device-velmar\\";
  const auto files = filesIn(logDir);
  ASSERT_EQ(files.size(), 1u);
  std::smatch name;
  ASSERT_TRUE(std::regex_match(files[0], name,
                               std::regex(R"(log4z_win_test_Main_(\d{12})_)" + pid6() + R"(_000\.log)")))
      << files[0];

  lines = splitLines(readFile(logDir + files[0]));
  ASSERT_EQ(lines.size(), 4u);
  const std::string header = kHeader;
  std::smatch first;
  ASSERT_TRUE(std::regex_match(
      lines[0], first,
      std::regex(header + "LOG_ALARM -----------------  log4z thread started!   ----------------------------")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(
      lines[1], std::regex(header + "LOG_ALARM logger id=0 key=Main name=Main "
                                    "path=\\./log-device-velmar/ level=1 display=false")))
      << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(header + "LOG_INFO first line"))) << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(header + "LOG_DEBUG debug line"))) << lines[3];
  // The file is named after the minute of its first line.
  EXPECT_EQ(name[1].str(), first[1].str() + first[2].str() + first[3].str() + first[4].str() +
                               first[5].str());
}

// Runs log4z_exit_probe (beside this test) in dir with the given arguments; its standard output
// goes to the file stdoutFile. Returns the process id, or 0 when it failed.
DWORD runProbe(const std::string& dir, const std::wstring& arguments, const std::string& stdoutFile) {
  wchar_t self[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring probe = self;
  probe = probe.substr(0, probe.find_last_of(L"\\/") + 1) + L"log4z_exit_probe.exe";
  std::wstring workDir = win::wideFromUtf8(dir);
  workDir.pop_back();  // no trailing '\' before the closing quote
  std::wstring commandLine = L"\"" + probe + L"\" \"" + workDir + L"\" " + arguments;

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  win::UniqueHandle out(CreateFileW(win::wideFromUtf8(stdoutFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return 0;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.get();
  startup.hStdError = out.get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0;
  }
  win::UniqueHandle process(info.hProcess);
  win::UniqueHandle thread(info.hThread);
  DWORD exitCode = 1;
  if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.get(), &exitCode) || exitCode != 0) {
    return 0;
  }
  return info.dwProcessId;
}

// Lines of the probe's files that carry "LOG_INFO probe line ".
std::vector<std::string> probeLinesIn(const std::string& logDir, DWORD pid) {
  char pidText[32];
  std::snprintf(pidText, sizeof pidText, "%06lu", pid);
  const std::regex name(std::string(R"(log4z_exit_probe_Main_\d{12}_)") + pidText + R"(_00\d\.log)");
  std::vector<std::string> lines;
  for (const std::string& file : filesIn(logDir)) {
    EXPECT_TRUE(std::regex_match(file, name)) << file;
    for (const std::string& line : splitLines(readFile(logDir + file))) {
      if (line.find("LOG_INFO probe line ") != std::string::npos) lines.push_back(line);
    }
  }
  return lines;
}

TEST(HostLog, LinesStillQueuedWhenTheProgramReturnsFromMainAreWritten) {
  constexpr int kLines = 20000;
  TestDir dir;
  const DWORD pid = runProbe(dir.path(), std::to_wstring(kLines), dir.path() + "stdout.txt");
  ASSERT_NE(pid, 0u);
  const auto lines = probeLinesIn(dir.path() + "log-device-velmar\\", pid);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  EXPECT_NE(lines.back().find("probe line " + std::to_string(kLines - 1)), std::string::npos);
  EXPECT_EQ(readFile(dir.path() + "stdout.txt"), "");  // no console echo, no notices
}

TEST(HostLog, DisplayEchoesEachLineOnceOnStandardOutput) {
  TestDir dir;
  const DWORD pid = runProbe(dir.path(), L"3 display", dir.path() + "stdout.txt");
  ASSERT_NE(pid, 0u);
  const auto fileLines = probeLinesIn(dir.path() + "log-device-velmar\\", pid);
  ASSERT_EQ(fileLines.size(), 3u);
  std::string expected;
  for (const std::string& line : fileLines) expected += line + "\r\n";
  EXPECT_EQ(readFile(dir.path() + "stdout.txt"), expected);
}

}  // namespace
}  // namespace velmar::log4z
