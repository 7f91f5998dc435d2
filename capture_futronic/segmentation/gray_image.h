// gray_image.h: the one-channel image buffer the segmentation works on, and the ten segmentation
// settings. Plain data; one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace segmentation {

// Row-major pixels from the top row, width x channels bytes a row, no row padding.
struct GrayImage {
  std::vector<uint8_t> data;
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 1;

  GrayImage() = default;
  // width x height pixels of one channel set to value; no buffer when either side is below 1.
  GrayImage(int32_t width, int32_t height, uint8_t value = 0);
  GrayImage(std::vector<uint8_t> pixels, int32_t width, int32_t height);

  // width x height x channels, 0 when any of them is below 1.
  size_t byteCount() const;
  // A buffer that matches width x height x channels (so every pixel can be read and written).
  bool hasPixels() const { return byteCount() != 0 && data.size() == byteCount(); }
  // What every operation needs: one channel and a matching buffer.
  bool usable() const { return channels == 1 && hasPixels(); }

  uint8_t& at(int32_t x, int32_t y) { return data[static_cast<size_t>(y) * width + x]; }
  const uint8_t& at(int32_t x, int32_t y) const { return data[static_cast<size_t>(y) * width + x]; }
};

struct SegmentationParams {
  int32_t threshold = 210;      // a pixel below it is dark (finger)
  int32_t fill = 255;           // grey outside the finger and around the cut-out
  int32_t erosionPasses = 1;    // 3 x 3 cross
  int32_t dilationPasses = 2;   // 7 x 7 disc
  int32_t maxRegions = 64;      // capacity of the region tables
  int32_t frameWidth = 0;       // size of the captured frame (region classes and log only)
  int32_t frameHeight = 0;
  int32_t minFingerArea = 30000;  // a region is a finger only if its pixel count is greater
  int32_t outputWidth = 512;    // size of the output image the caller allocates
  int32_t outputHeight = 512;
};

}  // namespace segmentation
