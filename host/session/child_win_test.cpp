// Child against real processes under Wine (cmd.exe stands in for a capture application).
#include "child_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "host_log.h"

namespace {

std::string errorOf(void (*body)()) {
  try {
    body();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "<no error>";
}

TEST(Child, CollectsTheExitCode) {
  for (DWORD code : {0ul, 203ul, 299ul}) {
    std::vector<std::string> lines;
    const HostLogSink previous = setHostLogSink([&](int, const std::string& text) { lines.push_back(text); });
    Child child("cmd.exe /c exit " + std::to_string(code));
    child.start();
    EXPECT_TRUE(child.started());
    EXPECT_FALSE(child.closed());
    child.wait();
    setHostLogSink(previous);
    EXPECT_TRUE(child.closed());
    EXPECT_EQ(child.exitCode(), code);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "child exit code is " + std::to_string(code)), lines.end());
  }
}

TEST(Child, Failures) {
  EXPECT_EQ(errorOf([] { Child("\"C:\\no\\such\\capture.exe\" -h").start(); }), "CreateProcess failed with 2");
  EXPECT_EQ(errorOf([] { Child("").start(); }), "invalid argument for command in Child");
  EXPECT_EQ(errorOf([] { Child("cmd.exe").wait(); }), "invalid state for wait, child must be started");
  EXPECT_EQ(errorOf([] { Child("cmd.exe /c rem " + std::string(1010, 'x')).start(); }),
            "command line does not fit 1024 UTF-16 units");
}

TEST(Child, LongestCommandLineThatFits) {
  const std::string command = "cmd.exe /c exit 7 & rem ";
  Child child(command + std::string(1023 - command.size(), 'x'));
  child.start();
  child.wait();
  EXPECT_EQ(child.exitCode(), 7u);
}

}  // namespace
