// pipe_probe_win.h: one named-pipe round trip through the host's own PipeReader, as a capture's result
// travels: a pipe created, a client connected, 64 KB written and read back.
#pragma once

#include "diagnostic_facts.h"

// Bounded: gives up after a few seconds with an error instead of waiting for a pipe that never connects.
PipeFacts probePipes();
