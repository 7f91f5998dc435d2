// The decoder: round trips through our encoder, other layouts the standard allows (segment order,
// comments, restart markers), malformed streams and a seeded fuzz of truncated and mutated streams.
#include "wsq_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "wsq_test_image.h"
#include "wsq_decompose.h"
#include "wsq_encoder_params.h"
#include "wsq_test_encode.h"
#include "wsq_huffman.h"
#include "wsq_synthesis.h"
#include "wsq_filter_kernel.h"

namespace wsq {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const Bytes& image, int width, int height, float bitRate) {
  return testing::encodeForTest(image, width, height, bitRate);
}

double psnr(const Bytes& a, const Bytes& b) {
  double se = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    const double d = static_cast<double>(a[i]) - b[i];
    se += d * d;
  }
  const double mse = se / static_cast<double>(a.size());
  return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

WsqImage decodeOk(const Bytes& s) {
  WsqImage image;
  std::string error;
  EXPECT_TRUE(decodeWsq(s.data(), s.size(), image, error)) << error;
  return image;
}

std::string decodeError(const Bytes& s, const WsqDecodeLimits& limits = {}) {
  WsqImage image;
  std::string error;
  if (decodeWsq(s.data(), s.size(), image, error, limits)) return "";
  EXPECT_FALSE(error.empty());
  return error;
}

// Offsets of the segments of a stream of our own (we know its coded data ends at the next marker).
std::vector<WsqSegmentInfo> segmentsOf(const Bytes& s) {
  WsqStreamInfo info;
  std::string error;
  EXPECT_TRUE(inspectWsq(s.data(), s.size(), info, error)) << error;
  return info.segments;
}

const WsqSegmentInfo& find(const std::vector<WsqSegmentInfo>& segments, int marker, int nth = 0) {
  for (const WsqSegmentInfo& s : segments) {
    if (s.marker == marker && nth-- == 0) return s;
  }
  static WsqSegmentInfo none;
  ADD_FAILURE() << "no segment " << std::hex << marker;
  return none;
}

TEST(WsqRoundTrip, SyntheticFingersAt075And10) {
  const Bytes finger = testing::syntheticFinger(512, 512);
  double lastPsnr = 0.0;
  size_t lastSize = 0;
  for (float rate : {0.75f, 1.0f}) {
    const Bytes s = encode(finger, 512, 512, rate);
    const WsqImage image = decodeOk(s);
    ASSERT_EQ(image.width, 512);
    ASSERT_EQ(image.height, 512);
    const double p = psnr(finger, image.pixels);
    std::printf("bit rate %.2f: %zu bytes (%.1f:1), PSNR %.2f dB\n", rate, s.size(),
                static_cast<double>(finger.size()) / static_cast<double>(s.size()), p);
    EXPECT_GT(p, 28.0);
    EXPECT_GT(s.size(), lastSize);
    EXPECT_GT(p, lastPsnr);
    lastPsnr = p;
    lastSize = s.size();
  }
}

TEST(WsqRoundTrip, OddSizes) {
  for (const auto& size : {std::make_pair(545, 638), std::make_pair(101, 37), std::make_pair(37, 101)}) {
    const Bytes finger = testing::syntheticFinger(size.first, size.second, 7);
    const Bytes s = encode(finger, size.first, size.second, 2.25f);
    const WsqImage image = decodeOk(s);
    ASSERT_EQ(image.width, size.first);
    ASSERT_EQ(image.height, size.second);
    EXPECT_GT(psnr(finger, image.pixels), 30.0) << size.first << "x" << size.second;
  }
}

TEST(WsqRoundTrip, ImageSmallerThanItsHeadersRoundTrips) {
  // 9 x 5 pixels make a stream many times their size: the stream buffer is sized for the stream.
  Bytes tiny = testing::syntheticFinger(9, 5, 7);
  tiny[0] = 0;
  wsqEncoderParams p;
  p.image = tiny;
  p.width = 9;
  p.height = 5;
  p.depth = 8;
  p.ppi = 500;
  p.encode();
  EXPECT_GT(p.output.size(), 500u);
  const WsqImage got = decodeOk(p.output);
  EXPECT_EQ(got.width, 9);
  EXPECT_EQ(got.height, 5);
}

// The picture handed over in the decoder's own memory (written over its floats) is the one decodeWsq
// copies out, for sizes whose pixel count ends inside and outside the vector loop.
TEST(WsqRoundTrip, PixelsInPlaceAreThePixelsCopied) {
  for (const auto& size : {std::make_pair(9, 5), std::make_pair(101, 37), std::make_pair(512, 512)}) {
    const Bytes s = encode(testing::syntheticFinger(size.first, size.second, 3), size.first, size.second, 2.25f);
    const WsqImage copied = decodeOk(s);
    Bytes inPlace;
    int width = 0, height = 0;
    std::string error;
    ASSERT_TRUE(decodeWsqPixels(
        s.data(), s.size(),
        [&](int w, int h, const unsigned char* pixels) {
          width = w;
          height = h;
          inPlace.assign(pixels, pixels + static_cast<size_t>(w) * h);
        },
        error))
        << error;
    EXPECT_EQ(width, size.first);
    EXPECT_EQ(height, size.second);
    EXPECT_EQ(inPlace, copied.pixels) << size.first << "x" << size.second;
  }
}

// Analysis then synthesis of one line gives the line back for every length, both storage orders.
TEST(WsqSynthesis, OneDimensionalPerfectReconstruction) {
  std::vector<float> lowHalf(LO_FILTER + 4, LO_FILTER + 9);
  std::vector<float> highHalf(HI_FILTER + 3, HI_FILTER + 7);
  SynthesisFilters filters;
  ASSERT_TRUE(filters.build(lowHalf, 9, highHalf, 7));
  for (int len = 1; len <= 40; ++len) {
    for (bool inverted : {false, true}) {
      std::vector<float> x(static_cast<size_t>(len)), bands(x.size()), back(x.size());
      for (int i = 0; i < len; ++i) x[i] = static_cast<float>(std::sin(i * 1.3) * 100.0 + i);
      analyse_line(x.data(), 1, bands.data(), 1, len, inverted);
      filters.synthesiseLine(bands.data(), 1, back.data(), 1, len, inverted);
      for (int i = 0; i < len; ++i) {
        ASSERT_NEAR(back[i], x[i], 1e-3) << "length " << len << (inverted ? " inverted" : "") << " at " << i;
      }
    }
  }
}

// The column pass and the row pass are separate loops (pairs of outputs inside, single outputs near the
// ends): a line gives the same bits either way, for every length and both storage orders.
TEST(WsqSynthesis, ColumnsGiveTheBitsOfRows) {
  std::vector<float> lowHalf(LO_FILTER + 4, LO_FILTER + 9);
  std::vector<float> highHalf(HI_FILTER + 3, HI_FILTER + 7);
  SynthesisFilters filters;
  ASSERT_TRUE(filters.build(lowHalf, 9, highHalf, 7));
  constexpr int kColumns = 23;  // 16 + 4 + 3: each vector loop in turn, then the scalar tail
  for (VectorPath path : {VectorPath::Scalar, VectorPath::Sse2, VectorPath::Avx}) {
    if (useVectorPath(path) != path) continue;
    for (int len = 1; len <= 40; ++len) {
      for (bool inverted : {false, true}) {
        std::vector<float> in(static_cast<size_t>(len) * kColumns), byColumns(in.size()), zeros(kColumns, 0.0f);
        for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<float>(std::sin(i * 0.7) * 50.0 + (i % 7));
        WaveletNode node{};
        node.lenx = kColumns;
        node.leny = len;
        node.invcl = inverted;
        filters.synthesiseColumns(in.data(), byColumns.data(), kColumns, node, zeros.data());
        for (int c = 0; c < kColumns; ++c) {
          std::vector<float> byRow(static_cast<size_t>(len));
          filters.synthesiseLine(in.data() + c, kColumns, byRow.data(), 1, len, inverted);
          for (int r = 0; r < len; ++r) {
            const float column = byColumns[static_cast<size_t>(r) * kColumns + c];
            ASSERT_EQ(std::memcmp(&column, &byRow[r], sizeof column), 0)
                << "path " << static_cast<int>(path) << ", length " << len << (inverted ? " inverted" : "")
                << ", column " << c << ", output " << r;
          }
        }
      }
    }
  }
  useVectorPath(widestVectorPath());
}

TEST(WsqDecoder, AcceptsOtherSegmentOrdersAndComments) {
  const Bytes finger = testing::syntheticFinger(128, 96);
  const Bytes s = encode(finger, 128, 96, 1.0f);
  const WsqImage expected = decodeOk(s);
  const auto segs = segmentsOf(s);
  const WsqSegmentInfo& dtt = find(segs, 0xFFA4);
  const WsqSegmentInfo& sof = find(segs, 0xFFA2);
  const WsqSegmentInfo& dht0 = find(segs, 0xFFA6, 0);
  const WsqSegmentInfo& dht1 = find(segs, 0xFFA6, 1);
  const WsqSegmentInfo& sob0 = find(segs, 0xFFA3, 0);
  const WsqSegmentInfo& sob1 = find(segs, 0xFFA3, 1);

  // SOI COM DTT DQT SOF DHT(0 and 1 in one segment) DRT(0) SOB.. SOB.. SOB.. EOI, with fill bytes.
  Bytes r = {0xFF, 0xA0};
  const std::string comment = "PIX_WIDTH 128\nPIX_HEIGHT 96\n";
  r.push_back(0xFF);
  r.push_back(0xA8);
  r.push_back(0);
  r.push_back(static_cast<unsigned char>(comment.size() + 2));
  r.insert(r.end(), comment.begin(), comment.end());
  r.insert(r.end(), s.begin() + static_cast<long>(dtt.offset), s.begin() + static_cast<long>(dht0.offset));
  const int len0 = dht0.length - 2, len1 = dht1.length - 2;
  r.push_back(0xFF);
  r.push_back(0xA6);
  r.push_back(static_cast<unsigned char>((len0 + len1 + 2) >> 8));
  r.push_back(static_cast<unsigned char>(len0 + len1 + 2));
  r.insert(r.end(), s.begin() + static_cast<long>(dht0.offset) + 4, s.begin() + static_cast<long>(sob0.offset));
  r.insert(r.end(), s.begin() + static_cast<long>(dht1.offset) + 4, s.begin() + static_cast<long>(sob1.offset));
  r.insert(r.end(), {0xFF, 0xA7, 0x00, 0x04, 0x00, 0x00});
  r.push_back(0xFF);  // a fill byte before a marker
  r.insert(r.end(), s.begin() + static_cast<long>(sob0.offset), s.begin() + static_cast<long>(dht1.offset));
  r.insert(r.end(), s.begin() + static_cast<long>(sob1.offset), s.end());
  EXPECT_LT(sof.offset, dht0.offset);
  const WsqImage got = decodeOk(r);
  EXPECT_EQ(got.pixels, expected.pixels);
}

// Canonical codes of table `id` as our stream defines it.
HuffmanCodeTable tableFromStream(const Bytes& s, const WsqSegmentInfo& dht) {
  HuffmanCodeTable t;
  size_t pos = dht.offset + 5;
  int count = 0;
  for (int i = 0; i < 16; ++i) count += (t.bits[i] = s[pos + i]);
  pos += 16;
  unsigned code = 0;
  int k = 0;
  for (int length = 1; length <= 16; ++length) {
    for (int i = 0; i < t.bits[length - 1]; ++i, ++k) {
      const int symbol = s[pos + k];
      t.size[symbol] = static_cast<unsigned char>(length);
      t.code[symbol] = static_cast<uint16_t>(code++);
    }
    code <<= 1;
  }
  EXPECT_EQ(k, count);
  return t;
}

TEST(WsqDecoder, AcceptsRestartMarkersInsideBlocks) {
  const Bytes finger = testing::syntheticFinger(128, 96, 3);
  const Bytes s = encode(finger, 128, 96, 1.0f);
  const WsqImage expected = decodeOk(s);
  const auto segs = segmentsOf(s);
  const WsqSegmentInfo& dht1 = find(segs, 0xFFA6, 1);
  const WsqSegmentInfo& sob2 = find(segs, 0xFFA3, 2);
  std::vector<std::vector<int>> subbands;
  std::string error;
  ASSERT_TRUE(readWsqCoefficients(s.data(), s.size(), subbands, error)) << error;
  std::vector<int16_t> block3;
  for (int band = 52; band < 60; ++band) {
    for (int v : subbands[band]) block3.push_back(static_cast<int16_t>(v));
  }
  ASSERT_FALSE(block3.empty());
  const HuffmanCodeTable table = tableFromStream(s, dht1);

  // Block 3 coded again with a restart marker after every 7 symbols: 1-bit padding, then FF B0..B7.
  Bytes data;
  unsigned acc = 0;
  int pending = 0;
  auto putBits = [&](unsigned bits, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc = (acc << 1) | ((bits >> i) & 1u);
      if (++pending == 8) {
        data.push_back(static_cast<unsigned char>(acc));
        if (acc == 0xFF) data.push_back(0x00);
        acc = 0;
        pending = 0;
      }
    }
  };
  auto pad = [&] {
    if (pending > 0) putBits((1u << (8 - pending)) - 1u, 8 - pending);
  };
  int symbols = 0, restarts = 0;
  std::vector<WsqItem> items(block3.size());
  std::vector<int> counts(COUNT_SIZE, 0);
  items.resize(static_cast<size_t>(
      symbolize_block(items.data(), counts.data(), block3.data(), static_cast<int>(block3.size()))));
  for (const WsqItem item : items) {
    const int symbol = static_cast<int>(item & 0xFFu);
    if (symbols > 0 && symbols % 7 == 0) {
      pad();
      data.push_back(0xFF);
      data.push_back(static_cast<unsigned char>(0xB0 + restarts++ % 8));
    }
    ASSERT_GT(table.size[symbol], 0);
    putBits(table.code[symbol], table.size[symbol]);
    if (rawBitCountOf(symbol)) putBits(item >> 8, rawBitCountOf(symbol));
    ++symbols;
  }
  pad();
  ASSERT_GT(restarts, 2);
  Bytes r(s.begin(), s.begin() + static_cast<long>(sob2.offset) + 5);
  r.insert(r.end(), data.begin(), data.end());
  r.push_back(0xFF);
  r.push_back(0xA1);
  const WsqImage got = decodeOk(r);
  EXPECT_EQ(got.pixels, expected.pixels);
}

TEST(WsqDecoder, RejectsMalformedStreams) {
  const Bytes s = encode(testing::syntheticFinger(96, 80), 96, 80, 1.0f);
  const auto segs = segmentsOf(s);
  const size_t sof = find(segs, 0xFFA2).offset;
  const size_t dht0 = find(segs, 0xFFA6).offset;
  const size_t sob0 = find(segs, 0xFFA3).offset;
  const size_t dtt = find(segs, 0xFFA4).offset;
  struct Case {
    const char* name;
    Bytes stream;
    std::string error;  // a part of the expected text
  };
  std::vector<Case> cases;
  auto with = [&](size_t pos, std::initializer_list<unsigned char> bytes) {
    Bytes m = s;
    size_t i = pos;
    for (unsigned char b : bytes) m[i++] = b;
    return m;
  };
  cases.push_back({"empty", {}, "not a WSQ stream"});
  cases.push_back({"no start of image", with(0, {0xFF, 0xD8}), "not a WSQ stream"});
  cases.push_back({"zero width", with(sof + 8, {0, 0}), "frame of 0 x 80"});
  cases.push_back({"undefined table", with(sob0 + 4, {5}), "undefined Huffman table 5"});
  cases.push_back({"table id out of range", with(dht0 + 4, {9}), "Huffman table id 9 out of range"});
  Bytes oversubscribed = s;  // the same number of codes, two of them of length 1 and the rest of length 2
  int codes = 0;
  for (int i = 0; i < 16; ++i) codes += s[dht0 + 5 + i];
  for (int i = 0; i < 16; ++i) oversubscribed[dht0 + 5 + i] = 0;
  oversubscribed[dht0 + 5] = 2;
  oversubscribed[dht0 + 6] = static_cast<unsigned char>(codes - 2);
  cases.push_back({"too many codes", oversubscribed, "more codes than its lengths allow"});
  cases.push_back({"bad transform length", with(dtt + 4, {9, 8}), "unsupported filter pair"});
  cases.push_back({"segment too long", with(sof + 2, {0x7F, 0xFF}), "stream ends inside a segment"});
  cases.push_back({"frame length", with(sof + 3, {18}), "frame header length 18"});
  cases.push_back({"unknown marker", with(sof, {0xFF, 0xC0}), "unexpected marker 0xFFC0"});
  cases.push_back({"no end of image", Bytes(s.begin(), s.end() - 2), "without an end of image"});
  cases.push_back({"cut inside block 1", Bytes(s.begin(), s.begin() + static_cast<long>(sob0) + 20),
                   "stream ends inside coded data"});
  Bytes twoFrames(s.begin(), s.begin() + static_cast<long>(dht0));
  twoFrames.insert(twoFrames.end(), s.begin() + static_cast<long>(sof), s.end());
  cases.push_back({"second frame header", twoFrames, "second frame header"});
  for (const Case& c : cases) {
    EXPECT_NE(decodeError(c.stream).find(c.error), std::string::npos)
        << c.name << ": " << decodeError(c.stream);
  }
  WsqDecodeLimits small;
  small.maxPixels = 96 * 79;
  EXPECT_NE(decodeError(s, small).find("larger than allowed"), std::string::npos);
}

TEST(WsqDecoder, FuzzTruncatedAndMutatedStreams) {
  const Bytes s = encode(testing::syntheticFinger(96, 80, 5), 96, 80, 1.0f);
  WsqDecodeLimits limits;
  limits.maxPixels = size_t{1} << 20;
  int accepted = 0, refused = 0;
  auto check = [&](const Bytes& m) {
    WsqImage image;
    std::string error;
    if (decodeWsq(m.data(), m.size(), image, error, limits)) {
      ++accepted;
      ASSERT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height);
    } else {
      ++refused;
      ASSERT_FALSE(error.empty());
    }
  };
  for (size_t n = 0; n < s.size(); ++n) check(Bytes(s.begin(), s.begin() + static_cast<long>(n)));
  EXPECT_EQ(accepted, 0) << "a truncated stream was accepted";

  std::mt19937 random(20261209);
  const unsigned char special[] = {0x00, 0xFF, 0xA1, 0xA3, 0xB0, 0x7F, 0x80};
  for (int round = 0; round < 3000; ++round) {
    Bytes m = s;
    const int changes = 1 + static_cast<int>(random() % 6);
    for (int c = 0; c < changes; ++c) {
      const size_t pos = random() % m.size();
      m[pos] = (random() % 3 == 0) ? special[random() % sizeof special] : static_cast<unsigned char>(random());
    }
    if (random() % 4 == 0) m.resize(random() % m.size());
    check(m);
  }
  std::printf("fuzz: %d accepted, %d refused\n", accepted, refused);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace wsq
