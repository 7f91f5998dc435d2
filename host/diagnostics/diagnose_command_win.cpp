// diagnose_command_win.cpp: the summary and the report line on standard output. The console shows
// UTF-8 while they are written and gets its own code page back afterwards.
#include "diagnose_command_win.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "diagnostic_checks.h"
#include "diagnostic_json.h"
#include "diagnostic_summary.h"
#include "gather_facts_win.h"

namespace {

constexpr UINT kUtf8CodePage = 65001;

// Without a console (redirected standard streams) both calls fail, and nothing depends on them.
class Utf8ConsoleOutput {
 public:
  Utf8ConsoleOutput() : previous_(GetConsoleOutputCP()) { SetConsoleOutputCP(kUtf8CodePage); }
  ~Utf8ConsoleOutput() {
    if (previous_ != 0) SetConsoleOutputCP(previous_);
  }
  Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
  Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

 private:
  UINT previous_;
};

}  // namespace

int runDiagnoseCommand() {
  std::string report;
  int status = 1;
  std::vector<std::string> summary;
  try {
    const DiagnosticFacts facts = gatherDiagnosticFacts();
    const std::vector<DiagnosticCheck> checks = diagnosticChecks(facts);
    status = allChecksPass(checks) ? 0 : 1;
    summary = diagnosticSummary(facts, checks);
    report = diagnosticJson(facts, checks);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmar-device: diagnostics failed: %s\n", e.what());
  }
  const Utf8ConsoleOutput utf8;
  for (const std::string& line : summary) std::printf("%s\n", line.c_str());
  std::printf("%s\n", report.c_str());
  std::fflush(stdout);
  return status;
}
