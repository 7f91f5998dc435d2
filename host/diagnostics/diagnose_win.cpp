// diagnose_win.cpp: diagnoseJson, the inspection of this PC as one report line for a program.
#include "diagnose_json.h"

#include <cstdlib>
#include <cstring>

#include "diagnostic_checks.h"
#include "diagnostic_json.h"
#include "gather_facts_win.h"

extern "C" int32_t WINAPI diagnoseJson(char** line) {
  if (line) *line = nullptr;
  try {
    const DiagnosticFacts facts = gatherDiagnosticFacts();
    const std::vector<DiagnosticCheck> checks = diagnosticChecks(facts);
    const std::int32_t status = allChecksPass(checks) ? 0 : 1;
    if (line) {
      const std::string json = diagnosticJson(facts, checks);
      // malloc, so that freeJson (free in this runtime) releases it.
      char* copy = static_cast<char*>(std::malloc(json.size() + 1));
      if (!copy) return 1;
      std::memcpy(copy, json.data(), json.size() + 1);
      *line = copy;
    }
    return status;
  } catch (...) {
    return 1;
  }
}
