// The converter run: started, ended or timed out, and the moment it counts as created.
#include "converter_win.h"

#include <gtest/gtest.h>

namespace capture_b {
namespace {

TEST(ConverterRun, StartedIsToldOnceTheProcessExistsAndOnlyThen) {
  struct Case { const wchar_t* command; DWORD limitMs; ConverterRun want; int startedCalls; DWORD exit; };
  const Case cases[] = {
      {L"cmd.exe /c exit 3", 20000, ConverterRun::Ended, 1, 3},
      // A process that outlives the limit, started directly: through cmd.exe its child would outlive
      // the test and hold the test's output open for half a minute.
      {L"ping.exe -n 30 127.0.0.1", 300, ConverterRun::TimedOut, 1, 0},
      {L"\"C:\\no such folder\\wsq.exe\" a b", 20000, ConverterRun::NotStarted, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.command, c.command + wcslen(c.command)));
    int started = 0;
    DWORD exitCode = 77;
    EXPECT_EQ(runConverter(c.command, c.limitMs, exitCode, [&] { ++started; }), c.want);
    EXPECT_EQ(started, c.startedCalls);
    if (c.want == ConverterRun::Ended) {
      EXPECT_EQ(exitCode, c.exit);
    }
  }
}

}  // namespace
}  // namespace capture_b
