// diagnostic_summary.h: the few Spanish lines velmar-device --diagnose prints for the person in front
// of the PC before its JSON line: whether anything is wrong, each fault with what to do, and what to
// send to support. Portable.
#pragma once

#include <string>
#include <vector>

#include "diagnostic_checks.h"
#include "diagnostic_facts.h"

// At most this many faults are spelled out; the rest are counted (the JSON line has them all).
constexpr std::size_t kSummaryFaults = 6;

// The lines, without line feeds. A fault that several checks report with the same texts is told once.
std::vector<std::string> diagnosticSummary(const DiagnosticFacts& facts, const std::vector<DiagnosticCheck>& checks);
