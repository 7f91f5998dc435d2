// synthetic_frame.cpp: the synthetic finger frame of a scenario.
#include "synthetic_frame.h"

namespace velmar::futronic {

std::vector<std::uint8_t> syntheticFrame(const Scenario& scenario) {
  // Until the generator is linked in, a synthetic frame is blank.
  return std::vector<std::uint8_t>(static_cast<std::size_t>(scenario.width) * scenario.height, 255);
}

}  // namespace velmar::futronic
