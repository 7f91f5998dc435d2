// Seeded mutation of velmar-capture-b's command line, natively under the sanitizers: every setting
// stays inside its bounds and its fixed buffer, whatever the arguments.
#include "run_settings.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testing/fuzz_run.h"

namespace capture_b {
namespace {

struct RecordingEnv : CommandLineEnv {
  int level = -1;
  bool messageBoxes = false;
  std::size_t lines = 0;
  std::vector<std::wstring> workingDirs;
  void setLogLevel(int l) override { level = l; }
  void setMessageBoxMode(bool on) override { messageBoxes = on; }
  void debug(const std::wstring&, const std::wstring&) override { ++lines; }
  void setWorkingDirectoryFrom(const std::wstring& path) override { workingDirs.push_back(path); }
};

bool contains(const std::vector<std::wstring>& args, const std::wstring& text) {
  return std::find(args.begin() + 1, args.end(), text) != args.end();
}

TEST(RunSettingsFuzz, MutatedCommandLinesKeepTheSettingsInBounds) {
  const std::vector<std::wstring> options = {
      L"-v",  L"-p",  L"-t",   L"-d",  L"-F",   L"--debug", L"--file", L"--bmp", L"--wsq", L"-bp", L"-lci",
      L"--label-capture-init", L"-ls", L"--label-start", L"-lcs", L"--label-capture-success", L"-lce",
      L"--label-capture-error", L"--auto", L"s", L"L", L"-mb", L"--message-box", L"-h", L"--hide-title-bar",
      L"-vr", L"--version", L"-x"};
  const std::vector<std::vector<std::wstring>> seeds = {
      {L"C:\\dist\\capture\\dpfpdd\\velmar-capture-b.exe", L"-v", L"3", L"-lci", L"PONGA EL DEDO", L"-t", L"45000",
       L"-p", L"\\\\.\\pipe\\r", L"-bp", L"\\\\.\\pipe\\i", L"-h"},
      {L"velmar-capture-b.exe", L"--bmp", L"h.bmp", L"--wsq", L"--auto", L"l", L"-mb", L"-vr", L"1.2", L"-d",
       L"D:\\w\\x.exe"},
      {L"b.exe"},
  };
  const std::wstring alphabet = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  velmar::testing::FuzzRun run("velmar-capture-b command line", 20000, std::chrono::seconds(10), 20261211);
  while (run.next()) {
    std::vector<std::wstring> args = run.pick(seeds);
    velmar::testing::mutateArguments(run, args, options);
    if (run.below(8) == 0) args[0] = velmar::testing::awkwardTexts()[run.below(20)];
    RunSettings s;
    RecordingEnv env;
    const bool ok = readCommandLine(args, s, env, [&run] { return static_cast<uint32_t>(run.rng()()); });
    ASSERT_EQ(ok, args.size() >= 2);
    ASSERT_EQ(s.runId.size(), 6u);
    ASSERT_EQ(s.runId.find_first_not_of(alphabet), std::wstring::npos);
    ASSERT_GE(s.logLevel, 0);
    ASSERT_LE(s.logLevel, 3);
    ASSERT_EQ(env.level, s.logLevel);
    ASSERT_GE(s.timeoutMs, kTimeoutMinMs);
    ASSERT_LE(s.timeoutMs, kTimeoutMaxMs);
    ASSERT_EQ(env.messageBoxes, s.messageBoxMode);
    ASSERT_FALSE(env.workingDirs.empty());
    ASSERT_EQ(env.workingDirs[0], args[0]);
    for (const std::wstring* pipe : {&s.wsqPipeName, &s.bmpPipeName}) ASSERT_LE(pipe->size(), kPipeNameChars);
    for (const std::wstring* file : {&s.bmpFileName, &s.wsqFileName}) ASSERT_LE(file->size(), kFileNameChars);
    for (const std::wstring* label : {&s.labelCaptureInit, &s.labelStart, &s.labelCaptureSuccess, &s.labelCaptureError}) {
      ASSERT_LE(label->size(), kLabelChars);
    }
    ASSERT_LE(s.requiredVersion.size(), kVersionChars);
    ASSERT_TRUE(!s.bmpPipeRequested || contains(args, L"-bp"));
    for (const std::wstring& path : env.workingDirs) {
      const std::wstring dir = directoryOfPath(path);
      ASSERT_EQ(path.compare(0, dir.size(), dir), 0) << "not a leading part of the path";
    }
    run.tally(!ok ? "refused" : env.lines > 0 ? "options processed" : "nothing processed");
  }
  EXPECT_GT(run.count("options processed"), 0u);
}

}  // namespace
}  // namespace capture_b
