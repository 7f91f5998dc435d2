// gather_facts_win.h: the whole inspection of this PC, for diagnoseJson and velmar-device --diagnose.
#pragma once

#include "diagnostic_facts.h"

// Each probe reports its own failures in its findings, so one that fails still leaves the others.
DiagnosticFacts gatherDiagnosticFacts();
