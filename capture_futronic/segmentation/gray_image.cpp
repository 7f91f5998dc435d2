// gray_image.cpp: image buffer construction.
#include "gray_image.h"

#include <utility>

namespace segmentation {

GrayImage::GrayImage(int32_t w, int32_t h, uint8_t value) : width(w), height(h), channels(1) {
  if (w >= 1 && h >= 1) data.assign(static_cast<size_t>(w) * static_cast<size_t>(h), value);
}

GrayImage::GrayImage(std::vector<uint8_t> pixels, int32_t w, int32_t h)
    : data(std::move(pixels)), width(w), height(h), channels(1) {}

size_t GrayImage::byteCount() const {
  if (width < 1 || height < 1 || channels < 1) return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
}

}  // namespace segmentation
