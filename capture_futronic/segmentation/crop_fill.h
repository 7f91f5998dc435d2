// crop_fill.h: masking the finger, cutting its box out and placing it into the output image. Each
// function checks its images and sizes before it changes anything and returns false when a check fails.
#pragma once

#include <cstdint>

#include "gray_image.h"

namespace segmentation {

// Every grey pixel whose label-image value differs from label becomes fill. The label image needs one
// channel, a buffer and the grey image's size.
bool maskOutside(GrayImage& grey, const GrayImage& labelImage, uint8_t label, uint8_t fill);

// Copies the inclusive box of source into cut, whose size must be the box's size; the box must lie
// inside source.
bool crop(const GrayImage& source, int32_t minX, int32_t minY, int32_t maxX, int32_t maxY,
          GrayImage& cut);

// Places cut into target at the row and column offset (a negative offset centres it, with integer
// division) and fills the rest of target with fill. The cut must fit inside target at the offsets.
bool fillInto(const GrayImage& cut, GrayImage& target, int32_t rowOffset, int32_t columnOffset,
              uint8_t fill);

// crop then fillInto. A box wider or higher than target keeps its left and top part.
bool cropAndFill(const GrayImage& source, int32_t minX, int32_t minY, int32_t maxX, int32_t maxY,
                 GrayImage& target, int32_t rowOffset, int32_t columnOffset, uint8_t fill);

}  // namespace segmentation
