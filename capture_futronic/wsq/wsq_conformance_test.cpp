// Conformance against the NIST certification data in shared/testdata/wsq-nist: the decoder reproduces
// the reference decodings (also of the streams with other filter lengths), and the encoder, run on the
// reference inputs, agrees with the reference encoder's files in frame header, bin widths, bin indices
// and size. Figures are printed; the folder's absence skips the tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "wsq_decoder.h"
#include "wsq_encoder_params.h"
#include "wsq_testdata.h"

namespace wsq {
namespace {

using testdata::Bytes;
using testdata::dataDir;
using testdata::RawImage;
using testdata::rawImages;
using testdata::readFile;

struct Comparison {
  int maxDiff = 0;
  long differing = 0;
  double psnr = 0.0;
};

Comparison compare(const Bytes& a, const Bytes& b) {
  Comparison c;
  double se = 0.0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int d = std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    if (d > c.maxDiff) c.maxDiff = d;
    if (d) ++c.differing;
    se += static_cast<double>(d) * d;
  }
  const double mse = se / static_cast<double>(a.size());
  c.psnr = mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
  return c;
}

TEST(WsqConformance, DecoderReproducesTheReferenceDecodings) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  int decoded = 0;
  for (const RawImage& img : rawImages()) {
    Bytes source;
    ASSERT_TRUE(readFile(dataDir() + "/raw/" + img.name + ".raw", source));
    for (const char* rate : {"075", "225"}) {
      Bytes stream, recon;
      if (!readFile(dataDir() + "/ref" + rate + "/" + img.name + ".wsq", stream)) continue;
      WsqImage image;
      std::string error;
      ASSERT_TRUE(decodeWsq(stream.data(), stream.size(), image, error)) << img.name << ": " << error;
      ASSERT_EQ(image.width, img.width);
      ASSERT_EQ(image.height, img.height);
      const Comparison toSource = compare(image.pixels, source);
      if (readFile(dataDir() + "/recon" + rate + "/" + img.name + ".raw", recon)) {
        ASSERT_EQ(recon.size(), image.pixels.size());
        const Comparison toRef = compare(image.pixels, recon);
        std::printf("%s at %s: against the reference decoding max |diff| %d, %ld pixels differ, PSNR %.2f dB;"
                    " against the source PSNR %.2f dB\n",
                    img.name.c_str(), rate, toRef.maxDiff, toRef.differing, toRef.psnr, toSource.psnr);
        EXPECT_LE(toRef.maxDiff, 1) << img.name << " " << rate;
        EXPECT_LT(toRef.differing, 20) << img.name << " " << rate;
      } else {
        std::printf("%s at %s: against the source PSNR %.2f dB\n", img.name.c_str(), rate, toSource.psnr);
      }
      EXPECT_GT(toSource.psnr, 29.0) << img.name << " " << rate;
      ++decoded;
    }
  }
  EXPECT_GE(decoded, 12);
}

TEST(WsqConformance, DecoderReadsStreamsWithOtherFilterLengths) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  int decoded = 0;
  for (const char* name : {"cmp00009", "cmp00010", "cmp00013", "cmp00014", "cmp00015", "cmp00016"}) {
    Bytes stream, recon;
    if (!readFile(dataDir() + "/nonstd/" + name + ".wsq", stream)) continue;
    ASSERT_TRUE(readFile(dataDir() + "/nonstd/" + name + ".recon.raw", recon));
    WsqImage image;
    WsqStreamInfo info;
    std::string error;
    ASSERT_TRUE(decodeWsqWithInfo(stream.data(), stream.size(), image, info, error)) << name << ": " << error;
    ASSERT_EQ(recon.size(), image.pixels.size()) << name;
    const Comparison c = compare(image.pixels, recon);
    std::printf("%s (%zu/%zu taps): max |diff| %d, %ld pixels differ, PSNR %.2f dB\n", name, info.lowPass.size(),
                info.highPass.size(), c.maxDiff, c.differing, c.psnr);
    EXPECT_LE(c.maxDiff, 1) << name;
    ++decoded;
  }
  EXPECT_EQ(decoded, 6);
}

// Encodes every reference input at the bit rate of ref<rate>/ and compares with the reference file.
int compareWithReferenceEncoder(const char* rate) {
  int compared = 0;
  for (const RawImage& img : rawImages()) {
    Bytes source;
    EXPECT_TRUE(readFile(dataDir() + "/raw/" + img.name + ".raw", source));
    {
      Bytes reference;
      if (!readFile(dataDir() + "/ref" + rate + "/" + img.name + ".wsq", reference)) continue;
      wsqEncoderParams p;
      p.image = source;
      p.width = img.width;
      p.height = img.height;
      p.depth = 8;
      p.ppi = 500;
      p.bitRate = rate[0] == '0' ? 0.75f : 2.25f;
      p.encode();

      WsqStreamInfo ours, theirs;
      std::string error;
      WsqImage decoded;
      EXPECT_TRUE(decodeWsqWithInfo(p.output.data(), p.output.size(), decoded, ours, error)) << error;
      EXPECT_TRUE(inspectWsq(reference.data(), reference.size(), theirs, error)) << error;
      EXPECT_EQ(ours.width, theirs.width);
      EXPECT_EQ(ours.height, theirs.height);
      EXPECT_FLOAT_EQ(ours.m_shift, theirs.m_shift) << img.name;
      EXPECT_FLOAT_EQ(ours.r_scale, theirs.r_scale) << img.name;
      double worstQ = 0.0;
      int codedDiffer = 0;
      for (int band = 0; band < 64; ++band) {
        if ((ours.q[band] == 0.0f) != (theirs.q[band] == 0.0f)) ++codedDiffer;
        if (theirs.q[band] == 0.0f) continue;
        worstQ = std::fmax(worstQ, std::fabs(ours.q[band] - theirs.q[band]) / theirs.q[band]);
        worstQ = std::fmax(worstQ, std::fabs(ours.z[band] - theirs.z[band]) / theirs.z[band]);
      }
      EXPECT_EQ(codedDiffer, 0) << img.name;
      // Both write Q and Z as 16-bit decimals: agreement to the last digits.
      EXPECT_LT(worstQ, 1e-3) << img.name;

      std::vector<std::vector<int>> a, b;
      EXPECT_TRUE(readWsqCoefficients(p.output.data(), p.output.size(), a, error)) << error;
      EXPECT_TRUE(readWsqCoefficients(reference.data(), reference.size(), b, error)) << error;
      if (a.size() != 60 || b.size() != 60) continue;
      long indices = 0, differing = 0;
      for (int band = 0; band < 60; ++band) {
        if (a[band].size() != b[band].size()) {
          ADD_FAILURE() << img.name << " subband " << band << " sizes differ";
          continue;
        }
        for (size_t i = 0; i < a[band].size(); ++i) {
          ++indices;
          if (a[band][i] != b[band][i]) ++differing;
        }
      }
      const double sizeRatio = static_cast<double>(p.output.size()) / static_cast<double>(reference.size());
      std::printf("%s at %s: %zu bytes (reference %zu, %+.2f%%), largest Q/Z difference %.2g, %ld of %ld bin"
                  " indices differ, PSNR %.2f dB\n",
                  img.name.c_str(), rate, p.output.size(), reference.size(), (sizeRatio - 1.0) * 100.0, worstQ,
                  differing, indices, compare(decoded.pixels, source).psnr);
      EXPECT_LT(differing, indices / 10000 + 10) << img.name;
      EXPECT_NEAR(sizeRatio, 1.0, 0.01) << img.name;
      ++compared;
    }
  }
  return compared;
}

TEST(WsqConformance, EncoderAgreesWithTheReferenceEncoderAt075) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  EXPECT_GE(compareWithReferenceEncoder("075"), 7);
}

TEST(WsqConformance, EncoderAgreesWithTheReferenceEncoderAt225) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  EXPECT_GE(compareWithReferenceEncoder("225"), 6);
}

}  // namespace
}  // namespace wsq
