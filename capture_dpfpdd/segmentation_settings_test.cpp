// segmentation_settings_test.cpp: velmar-capture-b's settings with the real segmentation: one finger
// passes even with specks beside it or split by its flexion crease; two fingers or none fail.
#include "segmentation_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "fingerprint_segmentation.h"
#include "synthetic_finger.h"

namespace capture_b {
namespace {

TEST(SegmentationSettings, FrameSizeAndFingerThreshold) {
  const auto p = captureSegmentationParams(400, 500);
  EXPECT_EQ(p.threshold, 220);
  EXPECT_EQ(p.frameWidth, 400);
  EXPECT_EQ(p.frameHeight, 500);
  EXPECT_EQ(p.minFingerArea, 40000);  // 20 % of the frame
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

// One of NIST's real prints (grey bytes, top row first).
segmentation::GrayImage nistPrint(const std::string& name, int width, int height) {
  std::ifstream in(std::string(VELMAR_NIST_RAW_DIR) + "/" + name, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.size(), static_cast<size_t>(width) * height) << name;
  bytes.resize(static_cast<size_t>(width) * height, 255);
  return segmentation::GrayImage(std::move(bytes), width, height);
}

bool oneFinger(const segmentation::GrayImage& print) {
  segmentation::GrayImage frame = print;
  segmentation::GrayImage output(512, 512);
  return segmentation::GetFingerPrint(frame, output, captureSegmentationParams(print.width, print.height), false,
                                      L"abc123");
}

TEST(SegmentationSettings, RealPrintsAreOneFingerEvenWhenTheCreaseSplitsThem) {
  struct Case { const char* file; int width, height; };
  // cmp00007's flexion crease cuts off a second dark region of about 19 % of the frame.
  const Case kPrints[] = {{"cmp00001.raw", 589, 605}, {"cmp00007.raw", 545, 638}, {"cmp00009.raw", 512, 678},
                          {"cmp00010.raw", 375, 526}, {"cmp00014.raw", 466, 578}, {"cmp00017.raw", 521, 666}};
  for (const auto& c : kPrints) {
    SCOPED_TRACE(c.file);
    EXPECT_TRUE(oneFinger(nistPrint(c.file, c.width, c.height)));
  }
}

TEST(SegmentationSettings, TwoRealFingersLaidTogetherFail) {
  // sample_01 holds two fingers side by side in the box (490,1066) 623 x 434 of its 1600 x 1500 page;
  // framed as a reader would frame them, with a margin of white around the box.
  const segmentation::GrayImage page = nistPrint("sample_01.raw", 1600, 1500);
  for (int margin : {0, 40, 80}) {
    SCOPED_TRACE(margin);
    const int x0 = 490 - margin, y0 = 1066 - margin, w = 623 + 2 * margin, h = 434 + 2 * margin;
    segmentation::GrayImage frame(w, h, 255);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (y0 + y < page.height) frame.at(x, y) = page.at(x0 + x, y0 + y);
    EXPECT_FALSE(oneFinger(frame));
  }
}

}  // namespace
}  // namespace capture_b
