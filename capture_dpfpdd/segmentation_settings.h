// segmentation_settings.h: the segmentation settings velmar-capture-b uses for a captured image.
// Portable.
#pragma once

#include <cstdint>

#include "gray_image.h"

namespace capture_b {

// Threshold 220, fill 255, one erosion, two dilations, 64 regions, output 512 x 512. The frame size is
// the captured image's, and a dark region counts as a finger only above 5 % of its area, so dust
// specks beside a finger do not fail a good capture.
segmentation::SegmentationParams captureSegmentationParams(int32_t width, int32_t height);

}  // namespace capture_b
