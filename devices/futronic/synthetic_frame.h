// synthetic_frame.h: the scenario's synthetic finger frame (dark ridges on a light background, the
// scenario's frame size), drawn by the synthetic finger generator.
#pragma once

#include <cstdint>
#include <vector>

#include "scenario.h"

namespace velmar::futronic {

std::vector<std::uint8_t> syntheticFrame(const Scenario& scenario);

}  // namespace velmar::futronic
