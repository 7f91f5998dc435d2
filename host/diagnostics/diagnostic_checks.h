// diagnostic_checks.h: the checks made from the diagnostics' findings, each with the Spanish error and
// solution texts shown to the person in front of the PC when it fails. Portable.
#pragma once

#include <string>
#include <vector>

#include "diagnostic_facts.h"

struct DiagnosticCheck {
  std::string name;
  bool ok = true;
  std::string error;     // empty when ok
  std::string solution;  // empty when ok
};

// Every check, in report order: the product version, the capture applications (whether this Windows
// runs each: one finding when it lacks support for its bitness, no check of its Windows libraries then)
// with their libraries, functions and files, the running captures, the pipes and the JPEG encoder. No
// solution ever asks to copy or replace one of Windows' own libraries.
std::vector<DiagnosticCheck> diagnosticChecks(const DiagnosticFacts& facts);

bool allChecksPass(const std::vector<DiagnosticCheck>& checks);
