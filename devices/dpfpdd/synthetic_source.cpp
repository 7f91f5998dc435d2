// synthetic_source.cpp: finger images for scenarios that name no image file, from the synthetic
// finger generator.
#include "synthetic_source.h"

#include <stdexcept>

#include "scenario.h"
#include "synthetic_finger.h"

namespace dpfpdd_virtual {

bool syntheticFinger(const Scenario& scenario, velmar::synthetic::GreyImage& out, std::string& error) {
  velmar::synthetic::FingerParams params;
  params.width = static_cast<int>(scenario.width);
  params.height = static_cast<int>(scenario.height);
  params.seed = scenario.seed;
  params.fingers = static_cast<int>(scenario.fingers);
  params.specks = static_cast<int>(scenario.specks);
  try {
    out.pixels = velmar::synthetic::generateFinger(params);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  out.width = params.width;
  out.height = params.height;
  return true;
}

}  // namespace dpfpdd_virtual
