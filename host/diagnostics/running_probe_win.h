// running_probe_win.h: whether a capture application runs now, seen through its single-instance mutex.
#pragma once

#include <vector>

#include "diagnostic_facts.h"

// One entry per capture application of the table. The mutexes are opened for SYNCHRONIZE only and
// closed at once: never waited on, never taken, so a running capture is not disturbed.
std::vector<MutexFacts> probeRunningCaptures();
