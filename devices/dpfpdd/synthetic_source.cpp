// synthetic_source.cpp: finger images for scenarios that name no image file.
#include "synthetic_source.h"

namespace dpfpdd_virtual {

bool syntheticFinger(uint32_t, uint32_t, uint32_t, GrayPixels&, std::string& error) {
  error = "this build has no synthetic finger generator: name an image file in the scenario";
  return false;
}

}  // namespace dpfpdd_virtual
