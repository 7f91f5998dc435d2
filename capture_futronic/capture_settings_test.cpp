#include "capture_settings.h"

#include <gtest/gtest.h>

#include "simple_logger.h"
#include "testing/temp_dir.h"

namespace one {
namespace {

using velmar::testing::readBytes;
using velmar::testing::TempDir;

TEST(CaptureSettings, Defaults) {
  const CaptureSettings s;
  EXPECT_EQ(s.timeoutMs, 20000);
  EXPECT_EQ(s.threshold, 200);
  EXPECT_EQ(s.fill, 255);
  EXPECT_EQ(s.minFingerArea, 25000);
  EXPECT_EQ(s.outputWidth, 512);
  EXPECT_EQ(s.outputHeight, 512);
  EXPECT_EQ(s.wsqPipeName, L"\\\\.\\pipe\\wsq");
  EXPECT_EQ(s.bmpPipeName, L"\\\\.\\pipe\\bmp");
  EXPECT_TRUE(s.dOptionValue.empty() && s.labelTitle.empty() && s.labelStatus.empty() &&
              s.labelNotice.empty());
  EXPECT_FALSE(s.hideTitleBar);
}

TEST(CaptureSettings, ReadDecimal) {
  const struct { const wchar_t* text; int32_t want; } cases[] = {
      {L"100", 100},     {L"  -7x", -7},         {L"+12", 12},        {L"abc", 0},
      {L"", 0},          {L"0x10", 0},           {L"99999999999", INT32_MAX},
      {L"-99999999999", INT32_MIN},              {L"2147483647", INT32_MAX}, {L"-2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(readDecimal(c.text), c.want) << c.text;
}

// Runs the parser with a plain log sink and returns the settings and the bytes of the log file.
struct Parsed {
  bool result;
  CaptureSettings settings;
  std::string log;
  size_t sinks;
};

Parsed parse(std::vector<std::wstring> args) {
  TempDir dir(/*enter=*/true);  // -v adds its file to the working directory
  Parsed p{false, CaptureSettings(), "", 0};
  {
    SimpleLogger::Log log(L"Futronic");
    log.open(L"main", L".log", /*plain=*/true);
    p.settings.log = &log;
    args.insert(args.begin(), L"velmar-capture-a.exe");
    p.result = parseCommandLine(p.settings, args);
    p.sinks = log.sinkCount();
    p.settings.log = nullptr;
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename().string().rfind("main", 0) == 0) p.log = readBytes(entry.path());
  }
  return p;
}

TEST(ParseCommandLine, NoArgumentsKeepsDefaults) {
  CaptureSettings s;
  EXPECT_FALSE(parseCommandLine(s, {L"velmar-capture-a.exe"}));
  EXPECT_FALSE(parseCommandLine(s, {}));
  EXPECT_EQ(s.timeoutMs, 20000);
  EXPECT_EQ(s.wsqPipeName, L"\\\\.\\pipe\\wsq");
}

struct Case {
  const char* name;
  std::vector<std::wstring> args;
  int32_t timeoutMs;
  const wchar_t* wsqPipe;
  const wchar_t* bmpPipe;
  const wchar_t* title;
  bool hide;
  std::string log;  // after the empty line of open
};

TEST(ParseCommandLine, Options) {
  const wchar_t* kWsq = L"\\\\.\\pipe\\wsq";
  const wchar_t* kBmp = L"\\\\.\\pipe\\bmp";
  const Case cases[] = {
      {"host's command line",
       {L"-v", L"3", L"-lci", L"hola", L"-t", L"25000", L"-p", L"\\\\.\\pipe\\a1", L"-bp",
        L"\\\\.\\pipe\\b2", L"-h"},
       25000, L"\\\\.\\pipe\\a1", L"\\\\.\\pipe\\b2", L"", true,
       "\r\nProcesado: -v '3'\r\nProcesado: -t '25000'\r\nProcesado: -p '\\\\.\\pipe\\a1'\r\n"
       "Procesado: -bp '\\\\.\\pipe\\b2'\r\nProcesado: -h\r\n"},
      {"-t below range", {L"-t", L"100"}, 5000, kWsq, kBmp, L"", false, "Procesado: -t '100'\r\n"},
      {"-t above range", {L"-t", L"45000"}, 30000, kWsq, kBmp, L"", false,
       "Procesado: -t '45000'\r\n"},
      {"-t not a number", {L"-t", L"abc"}, 5000, kWsq, kBmp, L"", false, "Procesado: -t '0'\r\n"},
      {"-t last is ignored", {L"-h", L"-t"}, 20000, kWsq, kBmp, L"", true, "Procesado: -h\r\n"},
      {"unknown option and its value skipped", {L"-x", L"foo", L"-h"}, 20000, kWsq, kBmp, L"",
       true, "Procesado: -h\r\n"},
      {"-lci skipped, its value read as option", {L"-lci", L"-h"}, 20000, kWsq, kBmp, L"", true,
       "Procesado: -h\r\n"},
      {"upper case -P is no option", {L"-P", L"x"}, 20000, kWsq, kBmp, L"", false, ""},
      {"value starting with a dash", {L"-p", L"-h"}, 20000, L"-h", kBmp, L"", false,
       "Procesado: -p '-h'\r\n"},
      {"later occurrence wins", {L"-lt", L"uno", L"--label-title", L"dos"}, 20000, kWsq, kBmp,
       L"dos", false, "Procesado: --label-title 'uno'\r\nProcesado: --label-title 'dos'\r\n"},
      {"percent in a value is text", {L"-lt", L"50%d"}, 20000, kWsq, kBmp, L"50%d", false,
       "Procesado: --label-title '50%d'\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Parsed p = parse(c.args);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.settings.timeoutMs, c.timeoutMs);
    EXPECT_EQ(p.settings.wsqPipeName, c.wsqPipe);
    EXPECT_EQ(p.settings.bmpPipeName, c.bmpPipe);
    EXPECT_EQ(p.settings.labelTitle, c.title);
    EXPECT_EQ(p.settings.hideTitleBar, c.hide);
    // The first empty line comes from open; -v adds a second one.
    EXPECT_EQ(p.log, "\r\n" + c.log);
  }
}

TEST(ParseCommandLine, LabelsAndD) {
  const Parsed p = parse({L"-ls", L"estado", L"--label-notice", L"aviso", L"-d", L"x y",
                          L"--hide-title-bar", L"--label-status", L"\u00faltimo"});
  EXPECT_EQ(p.settings.labelStatus, L"\u00faltimo");
  EXPECT_EQ(p.settings.labelNotice, L"aviso");
  EXPECT_EQ(p.settings.dOptionValue, L"x y");
  EXPECT_TRUE(p.settings.hideTitleBar);
  EXPECT_EQ(p.log,
            "\r\nProcesado: --label-status 'estado'\r\nProcesado: --label-notice 'aviso'\r\n"
            "Procesado: -d 'x y'\r\nProcesado: -h\r\nProcesado: --label-status '\xfaltimo'\r\n");
}

TEST(ParseCommandLine, VerboseAddsExtraFileOnlyForZeroToEight) {
  const struct { const wchar_t* value; bool adds; const char* logged; } cases[] = {
      {L"2", true, "2"},  {L"0", true, "0"},    {L"8", true, "8"},   {L"abc", true, "0"},
      {L"9", false, "9"}, {L"12", false, "12"}, {L"-1", false, "-1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "-v " << std::string(c.value, c.value + wcslen(c.value)));
    const Parsed p = parse({L"-v", c.value});
    EXPECT_EQ(p.sinks, c.adds ? 2u : 1u);
    EXPECT_EQ(p.log, std::string(c.adds ? "\r\n\r\n" : "\r\n") + "Procesado: -v '" + c.logged + "'\r\n");
  }
}

}  // namespace
}  // namespace one
