// log_probe_win.h: where each program writes its log and its newest log file.
#pragma once

#include <string>
#include <vector>

#include "diagnostic_facts.h"

// The host's log folder ("log-device-velmar" in the host's working directory, where it writes it)
// first, then each known capture application installed under the given applications' folders.
std::vector<LogFacts> probeLogs(const std::vector<AppFacts>& apps);
