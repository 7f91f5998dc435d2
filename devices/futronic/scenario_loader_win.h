// scenario_loader_win.h: finds and loads the virtual scanner's scenario (environment variable
// VIRTUAL_SCANNER_SCENARIO, else virtual-scanner.ini beside the DLL, else the built-in default), makes
// the frame it describes, and appends trace lines. Shared by the three stand-in DLLs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario.h"

namespace velmar::futronic {

struct LoadedScenario {
  Scenario scenario;
  std::wstring folder;  // folder of the scenario file (relative picture names start there)
};

// Loads the scenario once per DLL; later calls return the same object.
const LoadedScenario& loadedScenario();

// The finger frame of the scenario (width × height grey bytes, top row first, dark ridges on a light
// background): the picture file or the synthetic finger. Made once.
const std::vector<std::uint8_t>& fingerFrame();

// Appends one line to the scenario's trace file, if it names one.
void trace(const char* format, ...);

}  // namespace velmar::futronic
