// system_probe_win.h: the host's bitness, the system's version and bitness, and Wine's version when the
// host runs under Wine.
#pragma once

#include "diagnostic_facts.h"

HostFacts probeHost();
