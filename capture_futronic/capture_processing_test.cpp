// capture_processing_test.cpp: an accepted frame becomes WSQ and BMP, or the right failure code.
#include "capture_processing.h"

#include <gtest/gtest.h>

#include "result_codes.h"
#include "synthetic_finger.h"

namespace one {
namespace {

CaptureSettings futronicSettings() {
  CaptureSettings s;
  s.threshold = 210;
  s.minFingerArea = 30000;
  return s;
}

std::vector<std::uint8_t> syntheticFrame(int fingers) {
  velmar::synthetic::FingerParams p;
  p.fingers = fingers;
  return velmar::synthetic::generateFinger(p);
}

TEST(ProcessCapture, OneFingerGivesWsqAndA512SquareBmp) {
  CaptureOutput out;
  ASSERT_TRUE(processCapture(syntheticFrame(1), 320, 480, futronicSettings(), nullptr, out));
  EXPECT_EQ(out.code, DEV_SUCCESS);
  ASSERT_GE(out.wsq.size(), 2u);
  EXPECT_EQ(out.wsq[0], 0xFF);  // start of image
  EXPECT_EQ(out.wsq[1], 0xA0);
  ASSERT_EQ(out.bmp.size(), 263222u);
  EXPECT_EQ(out.bmp[0], 'B');
  EXPECT_EQ(out.bmp[1], 'M');
}

TEST(ProcessCapture, FailuresCarryTheirCodesAndNoBytes) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> frame;
    int width, height;
    std::int32_t code;
  };
  const Case cases[] = {
      {"two fingers", syntheticFrame(2), 320, 480, DEV_ERR_WRONG_FINGERPRINT},
      {"blank frame", syntheticFrame(0), 320, 480, DEV_ERR_WRONG_FINGERPRINT},
      {"empty frame", {}, 320, 480, DEV_ERR_INTERNAL_APP},
      {"frame shorter than its size", std::vector<std::uint8_t>(100, 0), 320, 480, DEV_ERR_INTERNAL_APP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CaptureOutput out;
    EXPECT_FALSE(processCapture(c.frame, c.width, c.height, futronicSettings(), nullptr, out));
    EXPECT_EQ(out.code, c.code);
    EXPECT_TRUE(out.wsq.empty());
    EXPECT_TRUE(out.bmp.empty());
  }
}

}  // namespace
}  // namespace one
