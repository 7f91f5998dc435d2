// morphology.cpp: thresholding, erosion, dilation and the dark-pixel count.
#include "morphology.h"

#include <algorithm>

#include "image_writers.h"

namespace segmentation {

namespace {

// The dilation disc, one row per line from three rows above to three rows below.
constexpr const char* kDisc[7] = {"0011100", "0111110", "1111111", "1111111",
                                  "1111111", "0111110", "0011100"};

// One pass of "every pixel of value `from` writes `from` over the stencil around it" into a scratch
// copy, then back into the image.
template <typename Stencil>
void spreadPass(GrayImage& image, uint8_t from, Stencil stencil) {
  std::vector<uint8_t> scratch = image.data;
  const int32_t w = image.width, h = image.height;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      if (image.at(x, y) != from) continue;
      stencil([&](int32_t dx, int32_t dy) {
        const int32_t tx = x + dx, ty = y + dy;
        if (tx >= 0 && ty >= 0 && tx < w && ty < h) scratch[static_cast<size_t>(ty) * w + tx] = from;
      });
    }
  }
  image.data.swap(scratch);
}

}  // namespace

void applyThreshold(GrayImage& image, int32_t level) {
  if (!image.usable()) return;
  const auto cut = static_cast<uint8_t>(level & 0xFF);
  for (auto& p : image.data) p = p >= cut ? 255 : 0;
}

bool erode(GrayImage& image, int32_t passes) {
  if (!image.usable()) return false;
  for (int32_t i = 0; i < passes; ++i) {
    spreadPass(image, 255, [](auto put) {
      put(0, 0);
      put(-1, 0);
      put(1, 0);
      put(0, -1);
      put(0, 1);
    });
  }
  return true;
}

bool dilate(GrayImage& image, int32_t passes) {
  if (!image.usable()) return false;
  for (int32_t i = 0; i < passes; ++i) {
    spreadPass(image, 0, [](auto put) {
      for (int32_t dy = -3; dy <= 3; ++dy)
        for (int32_t dx = -3; dx <= 3; ++dx)
          if (kDisc[dy + 3][dx + 3] == '1') put(dx, dy);
    });
  }
  return true;
}

#ifndef VELMAR_SEGMENTATION_VARIANT_B
bool binarizeAndCount(GrayImage& image, int32_t level, const wchar_t* pgmPath, uint32_t* darkCount,
                      SegmentationLog* log) {
  if (darkCount) *darkCount = 0;
  if (!image.usable()) return false;
  uint32_t count = 0;
  for (auto& p : image.data) {
    if (p < level) {
      p = 0;
      ++count;
    } else {
      p = 255;
    }
  }
  if (darkCount) *darkCount = count;
  if (pgmPath) writePgm(image, pgmPath, log);
  return true;
}
#endif

}  // namespace segmentation
