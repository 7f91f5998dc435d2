// morphology.h: binarisation and the binary morphology of the segmentation. After thresholding 0 is
// dark (finger) and 255 light (background). Each function works in place on the caller's image.
#pragma once

#include <cstdint>

#include "gray_image.h"
#include "segmentation_log.h"

namespace segmentation {

// Every pixel at or above the low byte of level becomes 255, every other pixel 0. Does nothing to an
// image that is not usable.
void applyThreshold(GrayImage& image, int32_t level);

// Shrinks the dark areas: per pass, every pixel of value 255 whitens its 3 x 3 cross (itself and its
// four direct neighbours), reading the image as it was at the start of the pass. Zero or negative
// passes change nothing. False for an image that is not usable.
bool erode(GrayImage& image, int32_t passes);

// Grows the dark areas: per pass, every pixel of value 0 darkens the 7 x 7 disc of 37 cells around it.
bool dilate(GrayImage& image, int32_t passes);

#ifndef VELMAR_SEGMENTATION_VARIANT_B
// The frame loop's finger test: every pixel below level becomes 0 and is counted, every other pixel
// 255; with a path the result is also written as PGM. The count is set to 0 first. False only for an
// image that is not usable.
bool binarizeAndCount(GrayImage& image, int32_t level, const wchar_t* pgmPath, uint32_t* darkCount,
                      SegmentationLog* log = nullptr);
#endif

}  // namespace segmentation
