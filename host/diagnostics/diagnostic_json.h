// diagnostic_json.h: the diagnostics report as one JSON line. Portable.
#pragma once

#include <string>
#include <vector>

#include "diagnostic_checks.h"
#include "diagnostic_facts.h"

// The report without a line feed; members "version", "host", "captureApps", "running", "pipes",
// "jpeg", "logs" and "checks", in that order. Always valid JSON: text that is not UTF-8 becomes U+FFFD.
std::string diagnosticJson(const DiagnosticFacts& facts, const std::vector<DiagnosticCheck>& checks);
