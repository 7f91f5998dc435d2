// fit_to_frame.cpp: a picture centred on the virtual scanner's frame.
#include "fit_to_frame.h"

namespace velmar::futronic {

std::vector<std::uint8_t> fitToFrame(const velmar::synthetic::GreyImage& picture, int width, int height) {
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
  // Offsets of the picture in the frame (negative: the picture is cropped on that side).
  const int dx = (width - picture.width) / 2;
  const int dy = (height - picture.height) / 2;
  for (int y = 0; y < height; ++y) {
    const int sy = y - dy;
    if (sy < 0 || sy >= picture.height) continue;
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx;
      if (sx < 0 || sx >= picture.width) continue;
      frame[static_cast<std::size_t>(y) * width + x] =
          picture.pixels[static_cast<std::size_t>(sy) * picture.width + sx];
    }
  }
  return frame;
}

}  // namespace velmar::futronic
