// synthetic_frame.cpp: the synthetic finger frame of a scenario, drawn by the synthetic generator.
#include "synthetic_frame.h"

#include <stdexcept>

#include "synthetic_finger.h"

namespace velmar::futronic {

std::vector<std::uint8_t> syntheticFrame(const Scenario& scenario) {
  synthetic::FingerParams params;
  params.width = scenario.width;
  params.height = scenario.height;
  params.seed = scenario.seed;
  params.ridgePeriod = scenario.ridgePeriod;
  params.pressure = scenario.pressure;
  if (scenario.synthetic == "blank") {
    params.fingers = 0;
  } else if (scenario.synthetic == "two-fingers") {
    params.fingers = 2;
  } else if (scenario.synthetic == "edge") {
    params.edge = synthetic::Edge::Left;
  } else if (scenario.synthetic == "specks") {
    params.specks = 12;
  }
  try {
    return synthetic::generateFinger(params);
  } catch (const std::exception&) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(scenario.width) * scenario.height, 255);
  }
}

}  // namespace velmar::futronic
