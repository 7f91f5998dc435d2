// capture_processing_test.cpp: an accepted frame becomes WSQ and BMP of the same 512 x 512 picture,
// or the right failure code with nothing to deliver.
#include "capture_processing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "result_codes.h"
#include "synthetic_frame.h"
#include "wsq_decoder.h"

namespace one {
namespace {

CaptureSettings futronicSettings() {
  CaptureSettings s;
  s.threshold = 210;
  s.minFingerArea = 30000;
  return s;
}

// The virtual scanner's frame for a synthetic picture ("finger", "two-fingers", "blank").
std::vector<std::uint8_t> scannerFrame(const char* what, std::uint32_t seed = 1) {
  velmar::futronic::Scenario s;
  s.synthetic = what;
  s.seed = seed;
  return velmar::futronic::syntheticFrame(s);
}

// PSNR between the decoded WSQ and the BMP's pixels (bottom-up rows after a 1078-byte header).
double psnrWsqAgainstBmp(const CaptureOutput& out) {
  wsq::WsqImage decoded;
  std::string error;
  EXPECT_TRUE(wsq::decodeWsq(out.wsq.data(), out.wsq.size(), decoded, error)) << error;
  if (decoded.width != 512 || decoded.height != 512) return 0;
  double sum = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) {
      const double d = static_cast<double>(decoded.pixels[y * 512 + x]) - out.bmp[1078 + (511 - y) * 512 + x];
      sum += d * d;
    }
  return 10.0 * std::log10(255.0 * 255.0 / (sum / (512.0 * 512.0)));
}

TEST(ProcessCapture, OneFingerGivesWsqAndBmpOfTheSamePicture) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    CaptureOutput out;
    ASSERT_TRUE(processCapture(scannerFrame("finger", seed), 320, 480, futronicSettings(), nullptr, out));
    EXPECT_EQ(out.code, DEV_SUCCESS);
    ASSERT_GE(out.wsq.size(), 2u);
    EXPECT_EQ(out.wsq[0], 0xFF);  // start of image
    EXPECT_EQ(out.wsq[1], 0xA0);
    ASSERT_EQ(out.bmp.size(), 263222u);
    EXPECT_EQ(out.bmp[0], 'B');
    EXPECT_EQ(out.bmp[1], 'M');
    // Same orientation and content: a BMP stored the wrong way up would fall far below this.
    EXPECT_GT(psnrWsqAgainstBmp(out), 30.0);
  }
}

TEST(ProcessCapture, FailuresCarryTheirCodesAndNoBytes) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> frame;
    int width, height;
    std::int32_t code;
  };
  const Case cases[] = {
      {"two fingers", scannerFrame("two-fingers"), 320, 480, DEV_ERR_WRONG_FINGERPRINT},
      {"blank frame", scannerFrame("blank"), 320, 480, DEV_ERR_WRONG_FINGERPRINT},
      {"empty frame", {}, 320, 480, DEV_ERR_INTERNAL_APP},
      {"frame shorter than its size", std::vector<std::uint8_t>(100, 0), 320, 480, DEV_ERR_INTERNAL_APP},
      {"no size", std::vector<std::uint8_t>(100, 0), 0, 0, DEV_ERR_INTERNAL_APP},
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
