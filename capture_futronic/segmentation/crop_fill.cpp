// crop_fill.cpp: maskOutside, crop, fillInto, cropAndFill.
#include "crop_fill.h"

#include <algorithm>

namespace segmentation {

bool maskOutside(GrayImage& grey, const GrayImage& labelImage, uint8_t label, uint8_t fill) {
  if (!grey.usable() || !labelImage.usable()) return false;
  if (labelImage.width != grey.width || labelImage.height != grey.height) return false;
  for (size_t i = 0; i < grey.data.size(); ++i)
    if (labelImage.data[i] != label) grey.data[i] = fill;
  return true;
}

bool crop(const GrayImage& source, int32_t minX, int32_t minY, int32_t maxX, int32_t maxY,
          GrayImage& cut) {
  if (!source.usable() || !cut.usable()) return false;
  if (minX < 0 || minY < 0 || minX > maxX || minY > maxY) return false;
  if (maxX >= source.width || maxY >= source.height) return false;
  const int32_t w = maxX - minX + 1, h = maxY - minY + 1;
  if (cut.width != w || cut.height != h) return false;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* from = &source.at(minX, minY + y);
    std::copy(from, from + w, &cut.at(0, y));
  }
  return true;
}

bool fillInto(const GrayImage& cut, GrayImage& target, int32_t rowOffset, int32_t columnOffset,
              uint8_t fill) {
  if (!cut.usable() || !target.usable()) return false;
  if (target.width < cut.width || target.height < cut.height) return false;
  if (rowOffset < 0) rowOffset = (target.height - cut.height) / 2;
  if (columnOffset < 0) columnOffset = (target.width - cut.width) / 2;
  // Explicit offsets that would put the cut past the target's edge are refused.
  if (rowOffset > target.height - cut.height || columnOffset > target.width - cut.width) return false;
  for (int32_t y = 0; y < target.height; ++y) {
    uint8_t* row = &target.at(0, y);
    if (y < rowOffset || y >= rowOffset + cut.height) {
      std::fill(row, row + target.width, fill);
      continue;
    }
    std::fill(row, row + columnOffset, fill);
    const uint8_t* from = &cut.at(0, y - rowOffset);
    std::copy(from, from + cut.width, row + columnOffset);
    std::fill(row + columnOffset + cut.width, row + target.width, fill);
  }
  return true;
}

bool cropAndFill(const GrayImage& source, int32_t minX, int32_t minY, int32_t maxX, int32_t maxY,
                 GrayImage& target, int32_t rowOffset, int32_t columnOffset, uint8_t fill) {
  if (maxX < minX || maxY < minY) return false;
  int64_t w = static_cast<int64_t>(maxX) - minX + 1, h = static_cast<int64_t>(maxY) - minY + 1;
  if (w > target.width) {
    w = target.width;
    maxX = static_cast<int32_t>(minX + w - 1);
  }
  if (h > target.height) {
    h = target.height;
    maxY = static_cast<int32_t>(minY + h - 1);
  }
  if (w < 1 || h < 1) return false;
  GrayImage scratch(static_cast<int32_t>(w), static_cast<int32_t>(h));
  if (!crop(source, minX, minY, maxX, maxY, scratch)) return false;
  return fillInto(scratch, target, rowOffset, columnOffset, fill);
}

}  // namespace segmentation
