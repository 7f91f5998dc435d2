// Seeded mutation of velmar-capture-a's command line, natively under the sanitizers, with the log
// attached so every processed option is also formatted into a line.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture_settings.h"
#include "simple_logger.h"
#include "testing/fuzz_run.h"
#include "testing/temp_dir.h"

namespace one {
namespace {

bool contains(const std::vector<std::wstring>& args, const std::wstring& text) {
  return std::find(args.begin() + 1, args.end(), text) != args.end();
}

TEST(CaptureSettingsFuzz, MutatedCommandLinesKeepTheSettingsInBounds) {
  velmar::testing::TempDir dir(true);  // -v adds a log file in the working directory
  const std::vector<std::wstring> options = {L"-v", L"-p", L"-t", L"-d", L"-bp", L"-lt", L"--label-title", L"-ls",
                                             L"--label-status", L"-ln", L"--label-notice", L"-h",
                                             L"--hide-title-bar", L"-lci", L"-x", L"--"};
  const std::vector<std::vector<std::wstring>> seeds = {
      {L"capa.exe", L"-v", L"4", L"-lci", L"Coloque el dedo", L"-t", L"45000", L"-p", L"\\\\.\\pipe\\r", L"-bp",
       L"\\\\.\\pipe\\i", L"-h"},
      {L"capa.exe", L"-t", L"25000", L"-p", L"\\\\.\\pipe\\r", L"-bp", L"\\\\.\\pipe\\i", L"-h"},
      {L"capa.exe", L"--label-title", L"T", L"--label-status", L"S", L"--label-notice", L"N", L"-d", L"x"},
      {L"capa.exe"},
  };
  velmar::testing::FuzzRun run("velmar-capture-a command line", 20000, std::chrono::seconds(10), 20261210);
  while (run.next()) {
    std::vector<std::wstring> args = run.pick(seeds);
    velmar::testing::mutateArguments(run, args, options);
    SimpleLogger::Log log(L"Futronic");
    CaptureSettings settings(run.below(2) ? &log : nullptr);
    const bool ok = parseCommandLine(settings, args);
    ASSERT_EQ(ok, args.size() >= 2);
    ASSERT_GE(settings.timeoutMs, MIN_TIMEOUT_MS);
    ASSERT_LE(settings.timeoutMs, MAX_TIMEOUT_MS);
    // Every text setting is its default or one of the arguments, never a mix.
    ASSERT_TRUE(settings.wsqPipeName == L"\\\\.\\pipe\\wsq" || contains(args, settings.wsqPipeName));
    ASSERT_TRUE(settings.bmpPipeName == L"\\\\.\\pipe\\bmp" || contains(args, settings.bmpPipeName));
    for (const std::wstring* text : {&settings.labelTitle, &settings.labelStatus, &settings.labelNotice,
                                     &settings.dOptionValue}) {
      ASSERT_TRUE(text->empty() || contains(args, *text));
    }
    ASSERT_TRUE(!settings.hideTitleBar || contains(args, L"-h") || contains(args, L"--hide-title-bar"));
    run.tally(!ok ? "refused" : settings.timeoutMs == 20000 ? "default timeout" : "timeout set");
  }
  EXPECT_GT(run.count("timeout set"), 0u);
}

}  // namespace
}  // namespace one
