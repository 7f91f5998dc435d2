// synthetic_frame_test.cpp: the scenario's synthetic frames are what the capture application needs to
// see: a default finger with enough dark pixels to be accepted, a blank frame with none.
#include "synthetic_frame.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmar::futronic {
namespace {

long darkPixels(const std::vector<std::uint8_t>& frame) {
  return static_cast<long>(std::count_if(frame.begin(), frame.end(), [](std::uint8_t p) { return p < 210; }));
}

TEST(SyntheticFrame, DefaultFingerIsLargeEnoughAndBlankIsEmpty) {
  Scenario s;
  const auto finger = syntheticFrame(s);
  ASSERT_EQ(finger.size(), 320u * 480u);
  EXPECT_GT(darkPixels(finger), 30000);  // the capture application's acceptance area
  s.synthetic = "blank";
  EXPECT_EQ(darkPixels(syntheticFrame(s)), 0);
}

TEST(SyntheticFrame, FollowsSizeAndSeed) {
  Scenario a;
  a.width = 200;
  a.height = 300;
  Scenario b = a;
  b.seed = 2;
  EXPECT_EQ(syntheticFrame(a).size(), 200u * 300u);
  EXPECT_EQ(syntheticFrame(a), syntheticFrame(a));
  EXPECT_NE(syntheticFrame(a), syntheticFrame(b));
}

}  // namespace
}  // namespace velmar::futronic
