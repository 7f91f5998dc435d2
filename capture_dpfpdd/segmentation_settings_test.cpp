// segmentation_settings_test.cpp: velmar-capture-b's settings with the real segmentation: one finger
// passes even with specks beside it; two fingers or none fail.
#include "segmentation_settings.h"

#include <gtest/gtest.h>

#include "fingerprint_segmentation.h"
#include "synthetic_finger.h"

namespace capture_b {
namespace {

TEST(SegmentationSettings, FrameSizeAndFingerThreshold) {
  const auto p = captureSegmentationParams(400, 500);
  EXPECT_EQ(p.threshold, 220);
  EXPECT_EQ(p.frameWidth, 400);
  EXPECT_EQ(p.frameHeight, 500);
  EXPECT_EQ(p.minFingerArea, 10000);
  EXPECT_EQ(p.outputWidth, 512);
  EXPECT_EQ(p.outputHeight, 512);
}

TEST(SegmentationSettings, SpecksBesideOneFingerStillGiveOneFinger) {
  struct Case { const char* name; int fingers; int specks; bool ok; };
  const Case kCases[] = {{"one finger", 1, 0, true},
                         {"one finger and specks", 1, 3, true},
                         {"two fingers", 2, 0, false},
                         {"blank frame", 0, 0, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    velmar::synthetic::FingerParams f;
    f.width = 400;
    f.height = 500;
    f.fingers = c.fingers;
    f.specks = c.specks;
    segmentation::GrayImage frame(velmar::synthetic::generateFinger(f), f.width, f.height);
    segmentation::GrayImage output(512, 512);
    EXPECT_EQ(segmentation::GetFingerPrint(frame, output, captureSegmentationParams(f.width, f.height), false,
                                           L"abc123"),
              c.ok);
  }
}

}  // namespace
}  // namespace capture_b
