// fit_to_frame.h: how the virtual scanner shows a picture file: centred on a white frame of the
// scenario's size, cropped where it does not fit. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "grey_image_file.h"

namespace velmar::futronic {

// Places the picture centred on a white frame of width × height (cropping what does not fit).
std::vector<std::uint8_t> fitToFrame(const velmar::synthetic::GreyImage& picture, int width, int height);

}  // namespace velmar::futronic
