// segmentation_settings.cpp: velmar-capture-b's segmentation settings.
#include "segmentation_settings.h"

namespace capture_b {
namespace {

constexpr double kFingerShareOfFrame = 0.20;

}  // namespace

segmentation::SegmentationParams captureSegmentationParams(int32_t width, int32_t height) {
  segmentation::SegmentationParams p;
  p.threshold = 220;
  p.fill = 255;
  p.erosionPasses = 1;
  p.dilationPasses = 2;
  p.maxRegions = 64;
  p.frameWidth = width > 0 ? width : 0;
  p.frameHeight = height > 0 ? height : 0;
  p.minFingerArea = static_cast<int32_t>(kFingerShareOfFrame * (static_cast<double>(p.frameWidth) * p.frameHeight));
  p.outputWidth = 512;
  p.outputHeight = 512;
  return p;
}

}  // namespace capture_b
