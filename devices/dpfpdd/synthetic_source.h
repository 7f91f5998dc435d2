// synthetic_source.h: the finger image the virtual reader reports when the scenario names no file.
#pragma once

#include <cstdint>
#include <string>

#include "grey_image_file.h"

namespace dpfpdd_virtual {

struct Scenario;

// The synthetic finger the scenario describes (size, seed, fingers, specks), deterministic for a seed.
bool syntheticFinger(const Scenario& scenario, velmar::synthetic::GreyImage& out, std::string& error);

}  // namespace dpfpdd_virtual
