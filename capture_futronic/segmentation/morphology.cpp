// morphology.cpp: thresholding, erosion, dilation and the dark-pixel count.
#include "morphology.h"

#include <algorithm>
#include <vector>

#include "image_writers.h"

namespace segmentation {

namespace {

// Half-widths of a rectangle centred on a pixel.
struct Reach {
  int32_t x, y;
};

// One pass of "every pixel of value `from` writes `from` over the stencil around it (inside the
// image)": a pixel becomes `from` when any pixel of the stencil around it has that value, the stencil
// being symmetric and given as a union of centred rectangles. Each rectangle is a horizontal run over
// whole rows followed by a vertical one, on a mask with a border wide enough that no index is checked.
void spreadPass(GrayImage& image, uint8_t from, const Reach* rects, int count) {
  const int32_t w = image.width, h = image.height;
  int32_t pad = 0;
  for (int i = 0; i < count; ++i) pad = std::max({pad, rects[i].x, rects[i].y});
  const size_t stride = static_cast<size_t>(w) + 2 * pad;
  const int32_t rows = h + 2 * pad;
  // mask: 1 where the image holds `from`, 0 in the border.
  std::vector<uint8_t> mask(stride * rows, 0);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* in = &image.at(0, y);
    uint8_t* m = &mask[(y + pad) * stride + pad];
    for (int32_t x = 0; x < w; ++x) m[x] = in[x] == from ? 1 : 0;
  }
  std::vector<uint8_t> across(static_cast<size_t>(w) * rows);  // horizontal runs, no border columns
  std::vector<uint8_t> hit(static_cast<size_t>(w) * h, 0);
  for (int i = 0; i < count; ++i) {
    const Reach r = rects[i];
    for (int32_t y = pad - r.y; y < pad + h + r.y; ++y) {
      const uint8_t* m = &mask[y * stride + pad];
      uint8_t* a = &across[static_cast<size_t>(y) * w];
      for (int32_t x = 0; x < w; ++x) a[x] = m[x];
      for (int32_t dx = 1; dx <= r.x; ++dx) {
        for (int32_t x = 0; x < w; ++x) a[x] |= m[x - dx] | m[x + dx];
      }
    }
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* out = &hit[static_cast<size_t>(y) * w];
      for (int32_t dy = -r.y; dy <= r.y; ++dy) {
        const uint8_t* a = &across[static_cast<size_t>(y + pad + dy) * w];
        for (int32_t x = 0; x < w; ++x) out[x] |= a[x];
      }
    }
  }
  for (size_t i = 0; i < hit.size(); ++i) {
    if (hit[i]) image.data[i] = from;
  }
}

// The 3 x 3 cross, and the 7 x 7 disc (rows of 3, 5, 7, 7, 7, 5, 3 pixels) as three rectangles.
constexpr Reach kCross[2] = {{1, 0}, {0, 1}};
constexpr Reach kDisc[3] = {{3, 1}, {2, 2}, {1, 3}};

}  // namespace

void applyThreshold(GrayImage& image, int32_t level) {
  if (!image.usable()) return;
  const auto cut = static_cast<uint8_t>(level & 0xFF);
  for (auto& p : image.data) p = p >= cut ? 255 : 0;
}

bool erode(GrayImage& image, int32_t passes) {
  if (!image.usable()) return false;
  for (int32_t i = 0; i < passes; ++i) {
    spreadPass(image, 255, kCross, 2);
  }
  return true;
}

bool dilate(GrayImage& image, int32_t passes) {
  if (!image.usable()) return false;
  for (int32_t i = 0; i < passes; ++i) {
    spreadPass(image, 0, kDisc, 3);
  }
  return true;
}

#ifndef VELMAR_SEGMENTATION_VARIANT_B
bool binarizeAndCount(GrayImage& image, int32_t level, const wchar_t* pgmPath, uint32_t* darkCount,
                      SegmentationLog* log) {
  if (!image.usable()) return false;
  if (darkCount) *darkCount = 0;
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
