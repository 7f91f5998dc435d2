// synthetic_source.h: the finger image the virtual reader reports when the scenario names no file.
#pragma once

#include <cstdint>
#include <string>

#include "image_file.h"

namespace dpfpdd_virtual {

// A synthetic finger of the given size, deterministic for a seed.
bool syntheticFinger(uint32_t width, uint32_t height, uint32_t seed, GrayPixels& out, std::string& error);

}  // namespace dpfpdd_virtual
