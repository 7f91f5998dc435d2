// log_probe_win.h: where each program writes its log and its newest log file.
#pragma once

#include <vector>

#include "diagnostic_facts.h"

// The host's log folder first, then each known capture application's, in the table's order: each
// program writes into its own folder under the user's local application-data folder.
std::vector<LogFacts> probeLogs();
