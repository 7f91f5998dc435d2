// run_settings_test.cpp: velmar-capture-b's command line.
#include "run_settings.h"

#include <gtest/gtest.h>

namespace capture_b {
namespace {

// Records what the command line did outside the settings; debug lines obey the level like the log.
struct FakeEnv : CommandLineEnv {
  int level = 3;
  bool messageBoxes = false;
  std::vector<std::wstring> logged;
  std::vector<std::wstring> workingDirs;
  std::vector<bool> boxModeAtWorkingDir;
  void setLogLevel(int l) override { level = l; }
  void setMessageBoxMode(bool on) override { messageBoxes = on; }
  std::vector<std::wstring> unformatted;
  void debug(const std::wstring& line, const std::wstring& format) override {
    if (level < 3) return;
    logged.push_back(line);
    unformatted.push_back(format);
  }
  void setWorkingDirectoryFrom(const std::wstring& path) override {
    workingDirs.push_back(path);
    boxModeAtWorkingDir.push_back(messageBoxes);
  }
};

uint32_t counter() {
  static uint32_t n = 0;
  return n++;
}

struct Parsed {
  RunSettings settings;
  FakeEnv env;
  bool ok;
  explicit Parsed(std::vector<std::wstring> args) {
    args.insert(args.begin(), L"C:\\dist\\capture\\dpfpdd\\velmar-capture-b.exe");
    ok = readCommandLine(args, settings, env, counter);
  }
};

TEST(CommandLine, NoArgumentFailsAfterSettingRunIdAndDirectory) {
  RunSettings s;
  FakeEnv env;
  EXPECT_FALSE(readCommandLine({L"C:\\a\\b.exe"}, s, env, counter));
  EXPECT_EQ(s.runId.size(), 6u);
  EXPECT_EQ(env.workingDirs, std::vector<std::wstring>{L"C:\\a\\b.exe"});
  EXPECT_EQ(env.level, 2);
}

TEST(CommandLine, WhatTheHostPasses) {
  Parsed r({L"-v", L"3", L"-lci", L"PONGA EL DEDO", L"-t", L"25000", L"-p", L"\\\\.\\pipe\\r1", L"-bp",
         L"\\\\.\\pipe\\i1", L"-h"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.settings.logLevel, 3);
  EXPECT_EQ(r.settings.labelCaptureInit, L"PONGA EL DEDO");
  EXPECT_EQ(r.settings.timeoutMs, 25000);
  EXPECT_EQ(r.settings.wsqPipeName, L"\\\\.\\pipe\\r1");
  EXPECT_EQ(r.settings.bmpPipeName, L"\\\\.\\pipe\\i1");
  EXPECT_TRUE(r.settings.bmpPipeRequested);
  EXPECT_TRUE(r.settings.hideTitleBar);
  EXPECT_EQ(r.env.logged, (std::vector<std::wstring>{
                              L"Procesado: -v '3'", L"Procesado: --label-capture-init 'PONGA EL DEDO'",
                              L"Procesado: -t '25000'", L"Procesado: -p '\\\\.\\pipe\\r1'",
                              L"Procesado: -bp '\\\\.\\pipe\\i1'", L"Procesado: -h"}));
}

TEST(CommandLine, ClampedNumbers) {
  struct Case { const wchar_t* option; const wchar_t* value; int want; const wchar_t* line; };
  const Case kCases[] = {
      {L"-t", L"5", 10000, L"Procesado: -t '10000'"},
      {L"-t", L"900000", 600000, L"Procesado: -t '600000'"},
      {L"-t", L"x", 10000, L"Procesado: -t '10000'"},
      {L"-t", L"99999999999999", 600000, L"Procesado: -t '600000'"},
      {L"-v", L"9", 3, L"Procesado: -v '3'"},
      {L"-v", L"-1", 0, nullptr},
      {L"-v", L"x", 0, nullptr},
      {L"-v", L"2abc", 2, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::wstring(c.option) + L" " + c.value);
    Parsed r({L"-v", L"3", c.option, c.value});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(std::wstring(c.option) == L"-t" ? r.settings.timeoutMs : r.settings.logLevel, c.want);
    if (c.line) EXPECT_EQ(r.env.logged.back(), c.line);
    else EXPECT_EQ(r.env.logged.size(), 1u) << "a lower level hides its own line";
  }
}

TEST(CommandLine, LevelTakesEffectWhereItStands) {
  Parsed after({L"-h", L"-v", L"3", L"--file"});
  EXPECT_EQ(after.env.logged, (std::vector<std::wstring>{L"Procesado: -v '3'", L"Procesado: --file"}));
  Parsed first({L"-v", L"3", L"-h", L"--file"});
  EXPECT_EQ(first.env.logged.size(), 3u);
}

TEST(CommandLine, ValuesAreTakenWhateverTheyLookLike) {
  Parsed r({L"-v", L"3", L"--bmp", L"-p", L"\\\\.\\pipe\\x"});
  EXPECT_TRUE(r.settings.saveBmpFile);
  EXPECT_EQ(r.settings.bmpFileName, L"-p");
  EXPECT_EQ(r.settings.wsqPipeName, L"\\\\.\\pipe\\wsq") << "the pipe name is a skipped argument";
  EXPECT_EQ(r.env.logged.back(), L"Procesado: --bmp '-p'");
}

TEST(CommandLine, OptionStandingLast) {
  Parsed p({L"-v", L"3", L"-p"});
  EXPECT_EQ(p.settings.wsqPipeName, L"\\\\.\\pipe\\wsq");
  EXPECT_EQ(p.env.logged.size(), 1u);
  Parsed bmp({L"-v", L"3", L"--wsq"});
  EXPECT_TRUE(bmp.settings.saveWsqFile);
  EXPECT_EQ(bmp.settings.wsqFileName, L"wsq.wsq");
  EXPECT_EQ(bmp.env.logged.back(), L"Procesado: --wsq");
  Parsed bp({L"-bp"});
  EXPECT_FALSE(bp.settings.bmpPipeRequested);
  Parsed autoLast({L"-v", L"3", L"--auto"});
  EXPECT_EQ(autoLast.settings.fingerSize, FingerSize::M);
  EXPECT_EQ(autoLast.env.logged.size(), 1u);
}

TEST(CommandLine, EveryOtherOption) {
  Parsed r({L"-v", L"3", L"-F", L"--debug", L"--file", L"-ls", L"A", L"--label-capture-success", L"B",
         L"-lce", L"C", L"--auto", L"l", L"-mb", L"--version", L"1.0.1", L"--bmp", L"b.bmp", L"--wsq",
         L"w.wsq", L"unknown", L"-P"});
  const RunSettings& s = r.settings;
  EXPECT_TRUE(s.debugImages && s.keepFiles && s.messageBoxMode && r.env.messageBoxes);
  EXPECT_EQ(s.labelStart, L"A");
  EXPECT_EQ(s.labelCaptureSuccess, L"B");
  EXPECT_EQ(s.labelCaptureError, L"C");
  EXPECT_EQ(s.fingerSize, FingerSize::L);
  EXPECT_EQ(s.requiredVersion, L"1.0.1");
  EXPECT_EQ(s.bmpFileName, L"b.bmp");
  EXPECT_EQ(s.wsqFileName, L"w.wsq");
  EXPECT_EQ(r.env.logged, (std::vector<std::wstring>{
                              L"Procesado: -v '3'", L"Procesado: -F", L"Procesado: --debug ",
                              L"Procesado: --file", L"Procesado: --label-start 'A'",
                              L"Procesado: --label-capture-success 'B'",
                              L"Procesado: --label-capture-error 'C'", L"Procesado: --auto 'l'",
                              L"Procesado: -mb", L"Procesado: -vr '1.0.1'", L"Procesado: --bmp 'b.bmp'",
                              L"Procesado: --wsq 'w.wsq'"}));
  EXPECT_EQ(r.env.unformatted, (std::vector<std::wstring>{
                                   L"Procesado: -v '%d'", L"Procesado: -F", L"Procesado: --debug ",
                                   L"Procesado: --file", L"Procesado: --label-start '%s'",
                                   L"Procesado: --label-capture-success '%s'",
                                   L"Procesado: --label-capture-error '%s'", L"Procesado: --auto '%s'",
                                   L"Procesado: -mb", L"Procesado: -vr '%s'", L"Procesado: --bmp '%s'",
                                   L"Procesado: --wsq '%s'"}))
      << "what an over-long line falls back to";
  Parsed small({L"--auto", L"S"});
  EXPECT_EQ(small.settings.fingerSize, FingerSize::S);
  Parsed other({L"--auto", L"xl"});
  EXPECT_EQ(other.settings.fingerSize, FingerSize::M);
}

TEST(CommandLine, LongValuesAreCut) {
  const std::wstring label(150, L'a'), pipe(300, L'p'), file(300, L'f');
  Parsed r({L"-lci", label, L"-p", pipe, L"--bmp", file, L"-vr", label});
  EXPECT_EQ(r.settings.labelCaptureInit, label.substr(0, 99));
  EXPECT_EQ(r.settings.wsqPipeName.size(), 255u);
  EXPECT_EQ(r.settings.bmpFileName.size(), 258u);
  EXPECT_EQ(r.settings.requiredVersion.size(), 99u);
}

TEST(CommandLine, WorkingDirectoryAndMessageBoxOrder) {
  Parsed before({L"-mb", L"-d", L"C:\\capture\\"});
  EXPECT_EQ(before.env.workingDirs.back(), L"C:\\capture\\");
  EXPECT_TRUE(before.env.boxModeAtWorkingDir.back());
  Parsed after({L"-d", L"C:\\capture", L"-mb"});
  EXPECT_FALSE(after.env.boxModeAtWorkingDir.back());
}

TEST(PathSplit, DirectoryOfPath) {
  struct Case { const wchar_t* path; const wchar_t* dir; };
  const Case kCases[] = {{L"C:\\capture\\", L"C:\\capture\\"},  {L"C:\\capture", L"C:\\"},
                         {L"velmar-capture-b.exe", L""},        {L"C:x.exe", L"C:"},
                         {L"..\\..\\dist/capture/b.exe", L"..\\..\\dist/capture/"}, {L"", L""}};
  for (const auto& c : kCases) EXPECT_EQ(directoryOfPath(c.path), c.dir) << c.path;
}

TEST(RunId, SixCharactersFromTheAlphabet) {
  uint32_t values[] = {0, 61, 62, 10, 36, 4294967295u};
  size_t i = 0;
  EXPECT_EQ(makeRunId([&] { return values[i++]; }), L"0z0Aa3");
}

}  // namespace
}  // namespace capture_b
