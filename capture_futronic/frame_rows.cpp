// frame_rows.cpp: vertical flip of a one-byte-a-pixel frame.
#include "frame_rows.h"

#include <algorithm>
#include <cstddef>

void flipRows(std::uint8_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 1) return;
  const std::size_t w = static_cast<std::size_t>(width);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(pixels + static_cast<std::size_t>(top) * w, pixels + static_cast<std::size_t>(top + 1) * w,
                     pixels + static_cast<std::size_t>(bottom) * w);
}
