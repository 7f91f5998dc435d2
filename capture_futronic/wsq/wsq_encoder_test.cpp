// The encoder as its callers use it: argument checks, failure statuses and their texts, the stream
// layout, uniform images, dropped subbands and encodeWsq's log line.
#include "wsq_encoder_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "encode_wsq.h"
#include "simple_logger.h"
#include "wsq_test_image.h"
#include "testing/temp_dir.h"
#include "wsq_decoder.h"
#include "wsq_encoder.h"
#include "wsq_memory.h"
#include "wsq_quantize.h"

namespace wsq {
namespace {

wsqEncoderParams paramsFor(std::vector<unsigned char> image, int width, int height, float bitRate = 1.0f) {
  wsqEncoderParams p;
  p.image = std::move(image);
  p.width = width;
  p.height = height;
  p.depth = 8;
  p.ppi = 500;
  p.bitRate = bitRate;
  return p;
}

std::string encodeError(wsqEncoderParams p) {
  try {
    p.encode();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

int uint16At(const std::vector<unsigned char>& s, size_t pos) { return (s[pos] << 8) | s[pos + 1]; }

TEST(WsqEncoderParams, RefusesEmptyOrZeroFieldsBeforeEncoding) {
  const std::vector<unsigned char> image(64 * 64, 100);
  struct Case {
    const char* name;
    wsqEncoderParams params;
    std::string error;
  };
  const std::string empty = "illegal argument: empty wsqEncoderParams";
  std::vector<Case> cases;
  cases.push_back({"empty image", paramsFor({}, 64, 64), empty});
  cases.push_back({"width 0", paramsFor(image, 0, 64), empty});
  cases.push_back({"height 0", paramsFor(image, 64, 0), empty});
  wsqEncoderParams noDepth = paramsFor(image, 64, 64);
  noDepth.depth = 0;
  cases.push_back({"depth 0", noDepth, empty});
  wsqEncoderParams noPpi = paramsFor(image, 64, 64);
  noPpi.ppi = 0;
  cases.push_back({"ppi 0", noPpi, empty});
  // An image vector shorter than width x height would be read past its end.
  cases.push_back({"short image", paramsFor(image, 64, 65),
                   "illegal argument: image of 64 x 65 needs 4160 bytes, got 4096"});
  cases.push_back({"width beyond 16 bits", paramsFor(image, 70000, 1),
                   "illegal argument: width and height must be 1 to 65535, got 70000 x 1"});
  cases.push_back({"negative height", paramsFor(image, 64, -2),
                   "illegal argument: width and height must be 1 to 65535, got 64 x -2"});
  for (const Case& c : cases) {
    wsqEncoderParams p = c.params;
    p.output = {1, 2, 3};
    EXPECT_EQ(encodeError(p), c.error) << c.name;
  }
}

TEST(WsqEncoder, StreamLayoutOf512x512) {
  wsqEncoderParams p = paramsFor(testing::syntheticFinger(512, 512), 512, 512);
  p.encode();
  const std::vector<unsigned char>& s = p.output;
  ASSERT_GT(s.size(), 1000u);
  size_t pos = 0;
  auto expectSegment = [&](int marker, size_t totalBytes) {
    ASSERT_LT(pos + 4, s.size());
    EXPECT_EQ(uint16At(s, pos), marker) << "at " << pos;
    EXPECT_EQ(static_cast<size_t>(uint16At(s, pos + 2)) + 2, totalBytes) << "marker " << std::hex << marker;
    pos += totalBytes;
  };
  auto skipCodedData = [&] {
    while (pos + 1 < s.size() && !(s[pos] == 0xFF && s[pos + 1] != 0x00)) {
      if (s[pos] == 0xFF) {
        EXPECT_EQ(s[pos + 1], 0x00);
        pos += 2;
      } else {
        ++pos;
      }
    }
  };
  EXPECT_EQ(uint16At(s, 0), 0xFFA0);
  pos = 2;
  expectSegment(0xFFA4, 60);
  const size_t dqt = pos;
  expectSegment(0xFFA5, 391);
  EXPECT_EQ(s[dqt + 4], 0x02);  // bin centre 0.44 as 02 00 2C
  EXPECT_EQ(s[dqt + 5], 0x00);
  EXPECT_EQ(s[dqt + 6], 0x2C);
  const size_t sof = pos;
  expectSegment(0xFFA2, 19);
  EXPECT_EQ(std::vector<unsigned char>(s.begin() + sof + 6, s.begin() + sof + 10),
            (std::vector<unsigned char>{0x02, 0x00, 0x02, 0x00}));
  const int ids[3] = {0, 1, 1};
  int huffmanTables = 0;
  for (int block = 0; block < 3; ++block) {
    if (uint16At(s, pos) == 0xFFA6) {
      EXPECT_EQ(s[pos + 4], ids[block]);
      const int length = uint16At(s, pos + 2);
      int codes = 0;
      for (int i = 0; i < 16; ++i) codes += s[pos + 5 + i];
      EXPECT_EQ(length, 19 + codes);
      pos += static_cast<size_t>(length) + 2;
      ++huffmanTables;
    }
    EXPECT_EQ(uint16At(s, pos), 0xFFA3);
    EXPECT_EQ(uint16At(s, pos + 2), 3);
    EXPECT_EQ(s[pos + 4], ids[block]);
    pos += 5;
    skipCodedData();
  }
  EXPECT_EQ(huffmanTables, 2);
  EXPECT_EQ(pos + 2, s.size());
  EXPECT_EQ(uint16At(s, pos), 0xFFA1);
}

// Makes exactly one of the encoder's allocations fail.
int failingStatus = 0;
void* failOne(std::size_t bytes, int status) { return status == failingStatus ? nullptr : std::calloc(bytes, 1); }

TEST(WsqEncoder, EachAllocationFailureReturnsItsStatus) {
  const std::vector<unsigned char> image = testing::syntheticFinger(128, 96);
  for (int status : {-10, -12}) {
    failingStatus = status;
    ScopedWsqAllocator scoped(failOne);
    EXPECT_EQ(encodeError(paramsFor(image, 128, 96)),
              "unknown error: wsq encoder returned " + std::to_string(status));
  }
}

TEST(WsqEncoder, UniformImageIsRefusedWithItsOwnStatus) {
  // Every pixel the same: the scale is 0 and the conversion would divide by it.
  EXPECT_EQ(encodeError(paramsFor(std::vector<unsigned char>(64 * 64, 255), 64, 64)),
            "unknown error: wsq encoder returned -92");
  std::vector<float> f(4);
  float m = 0, r = 0;
  const unsigned char grey[4] = {7, 7, 7, 7};
  EXPECT_EQ(conv_img_2_flt(f.data(), &m, &r, grey, 4), -92);
}

TEST(WsqEncoder, ConversionCentresAndScales) {
  // Nineteen pixels: a vector part and a scalar tail.
  const unsigned char pixels[19] = {0, 100, 100, 200, 100, 100, 100, 100, 100, 100,
                                    100, 100, 100, 100, 100, 100, 100, 100, 100};
  float f[19];
  float m = 0, r = 0;
  ASSERT_EQ(conv_img_2_flt(f, &m, &r, pixels, 19), 0);
  EXPECT_FLOAT_EQ(m, 100.0f);
  EXPECT_FLOAT_EQ(r, 100.0f / 128.0f);
  EXPECT_FLOAT_EQ(f[0], -128.0f);
  EXPECT_FLOAT_EQ(f[3], 128.0f);
  EXPECT_FLOAT_EQ(f[18], 0.0f);
}

TEST(WsqEncoder, BitRateBeyond16BitCoefficientsIsCappedAtWhatTheStreamCarries) {
  // At 40 bits per pixel the bins would be finer than 16-bit values count: they are widened until the
  // largest value fits, and the image comes back close.
  const std::vector<unsigned char> finger = testing::syntheticFinger(128, 128);
  wsqEncoderParams p = paramsFor(finger, 128, 128, 40.0f);
  p.encode();
  std::vector<std::vector<int>> subbands;
  std::string error;
  ASSERT_TRUE(readWsqCoefficients(p.output.data(), p.output.size(), subbands, error)) << error;
  int largest = 0;
  for (const std::vector<int>& band : subbands) {
    for (int v : band) largest = std::max(largest, std::abs(v));
  }
  EXPECT_GT(largest, 8192);
  EXPECT_LT(largest, 32768);
  WsqImage image;
  ASSERT_TRUE(decodeWsq(p.output.data(), p.output.size(), image, error)) << error;
  double difference = 0;
  for (size_t i = 0; i < finger.size(); ++i) difference += std::abs(image.pixels[i] - finger[i]);
  EXPECT_LT(difference / finger.size(), 4.0);
  // A bit rate that is not a number still fails.
  EXPECT_EQ(encodeError(paramsFor(finger, 128, 128, std::nanf(""))), "unknown error: wsq encoder returned -93");
}

TEST(WsqEncoder, LowVarianceSubbandsAreWrittenWithZeroQAndZ) {
  // A smooth ramp has no detail in its finest subbands: their variance is below 1.01.
  const int w = 256, h = 256;
  std::vector<unsigned char> ramp(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) ramp[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>((x + y) / 2);
  }
  wsqEncoderParams p = paramsFor(ramp, w, h);
  p.encode();
  WsqStreamInfo info;
  std::string error;
  ASSERT_TRUE(inspectWsq(p.output.data(), p.output.size(), info, error)) << error;
  std::vector<std::vector<int>> subbands;
  ASSERT_TRUE(readWsqCoefficients(p.output.data(), p.output.size(), subbands, error)) << error;
  const WsqTrees trees = build_wsq_trees(w, h);
  int dropped = 0;
  int blockSize[3] = {0, 0, 0};
  for (int band = 0; band < 60; ++band) {
    const int block = band < 19 ? 0 : (band < 52 ? 1 : 2);
    if (info.q[band] == 0.0f) {
      ++dropped;
      EXPECT_EQ(info.z[band], 0.0f) << band;
      EXPECT_TRUE(subbands[band].empty()) << band;
    } else {
      blockSize[block] += trees.q_tree[band].lenx * trees.q_tree[band].leny;
    }
  }
  EXPECT_GT(dropped, 0);
  ASSERT_EQ(info.blocks.size(), 3u);
  for (int b = 0; b < 3; ++b) EXPECT_EQ(info.blocks[b].coefficients, blockSize[b]) << "block " << b + 1;
}

TEST(WsqQuantizer, BlockSizesLeaveOutDroppedSubbands) {
  const WsqTrees trees = build_wsq_trees(512, 512);
  QuantParams params;
  for (int band = 0; band < 60; ++band) params.qbss[band] = 1.0f;
  int s1, s2, s3;
  quant_block_sizes(&s1, &s2, &s3, params, trees);
  EXPECT_EQ(s1, 4 * 256 + 15 * 1024);
  EXPECT_EQ(s2, 32 * 1024 + 16384);
  EXPECT_EQ(s3, 8 * 16384);
  params.qbss[2] = 0.0f;
  params.qbss[40] = 0.0f;
  params.qbss[59] = 0.0f;
  quant_block_sizes(&s1, &s2, &s3, params, trees);
  EXPECT_EQ(s1, 3 * 256 + 15 * 1024);
  EXPECT_EQ(s2, 31 * 1024 + 16384);
  EXPECT_EQ(s3, 7 * 16384);
}

TEST(EncodeWsq, EncodesTheImageAndLogsFailures) {
  velmar::testing::TempDir dir;
  const std::string logFile = (dir / "wsq.log").string();
  SimpleLogger::Log log(L"Futronic");
  // Only lines of level 5 and above reach this file.
  log.addFile(std::wstring(logFile.begin(), logFile.end()), false, 5);

  const std::vector<unsigned char> finger = testing::syntheticFinger(512, 512);
  const WsqSourceImage image{finger.data(), finger.size(), 512, 512};
  std::vector<unsigned char> wsq;
  ASSERT_TRUE(encodeWsq(image, wsq, &log));
  ASSERT_GT(wsq.size(), 4u);
  EXPECT_EQ(wsq[0], 0xFF);
  EXPECT_EQ(wsq[1], 0xA0);

  failingStatus = -12;
  std::vector<unsigned char> untouched = {9};
  {
    ScopedWsqAllocator scoped(failOne);
    EXPECT_FALSE(encodeWsq(image, untouched, &log));
  }
  EXPECT_EQ(untouched, std::vector<unsigned char>{9});
  EXPECT_FALSE(encodeWsq(WsqSourceImage{}, untouched, &log));
  EXPECT_FALSE(encodeWsq(WsqSourceImage{}, untouched, nullptr));

  const std::string text = velmar::testing::readBytes(logFile);
  EXPECT_NE(text.find("ERR unknown error: wsq encoder returned -12"), std::string::npos) << text;
  EXPECT_NE(text.find("illegal argument: empty wsqEncoderParams"), std::string::npos) << text;
}

}  // namespace
}  // namespace wsq
