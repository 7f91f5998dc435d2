// region_labeling.h: two-scan labelling of the 8-connected dark regions of a binary image, with flat
// equivalence tables of at most 254 provisional labels. In the label image 255 is background and every
// dark pixel carries its region's representative label (1..254).
#pragma once

#include <cstdint>
#include <vector>

#include "gray_image.h"
#include "segmentation_log.h"

namespace segmentation {

struct RegionBox {
  int32_t minX, minY, maxX, maxY;  // inclusive
};

// One entry per region, in the order of each region's first pixel in raster order.
struct RegionTables {
  std::vector<uint32_t> areas;   // pixel counts
  std::vector<uint8_t> labels;   // the region's value in the label image
  std::vector<RegionBox> boxes;
  int32_t count = 0;
};

// Labels image (0 dark, 255 light) in place and fills regions. Fails, logging why, when a 255th
// provisional label would be needed or when there are more regions than capacity; the image is then
// partly labelled and regions holds no result. False without a message for an image that is not usable.
bool EfficientRegionLabeling(GrayImage& image, RegionTables& regions, int32_t capacity,
                             SegmentationLog* log = nullptr);

}  // namespace segmentation
