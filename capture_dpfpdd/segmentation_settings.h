// segmentation_settings.h: the segmentation settings velmar-capture-b uses for a captured image.
// Portable.
#pragma once

#include <cstdint>

#include "gray_image.h"

namespace capture_b {

// Threshold 220, fill 255, one erosion, two dilations, 64 regions, output 512 x 512. The frame size is
// the captured image's, and a dark region counts as a finger only above 20 % of its area: dust specks
// and the part of a print below its flexion crease (up to about 19 % of the frame on real prints) do
// not count as a second finger, while each of two real fingers laid together (22 % and more of the
// frame) does.
segmentation::SegmentationParams captureSegmentationParams(int32_t width, int32_t height);

}  // namespace capture_b
