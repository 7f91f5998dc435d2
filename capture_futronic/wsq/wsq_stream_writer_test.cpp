// Segment layouts, decimal scaling and the space checks of the stream writer.
#include "wsq_stream_writer.h"

#include <gtest/gtest.h>

#include <vector>

namespace wsq {
namespace {

struct Buffer {
  explicit Buffer(int size) : bytes(static_cast<size_t>(size)), out{bytes.data(), size, 0} {}
  std::vector<unsigned char> written() const { return {bytes.begin(), bytes.begin() + out.length}; }
  std::vector<unsigned char> bytes;
  WsqOutput out;
};

TEST(WsqDecimalScaling, ValuesAndLimits) {
  struct Case {
    float value;
    double limit;
    bool doubleSteps;
    bool ok;
    int scale;
    uint32_t v;
  } cases[] = {
      {0.0f, 65535.0, false, true, 0, 0},
      {174.61203f, 65535.0, false, true, 2, 17461},  // image mean: as the reference files write it
      {1.0594690f, 65535.0, false, true, 4, 10595},
      {27.682f, 65535.0, false, true, 3, 27682},
      {0.44f, 65535.0, false, true, 5, 44000},
      {65534.0f, 65535.0, false, true, 0, 65534},
      {65535.0f, 65535.0, false, false, 0, 0},
      {1.0e9f, 65535.0, false, false, 0, 0},
      // Filter taps: each step rounds back to float, which moves the last digits (852698683.7 unrounded).
      {0.8526986837f, 4294967295.0, true, true, 9, 852698573},
      {0.0645388812f, 4294967295.0, true, true, 10, 645388851},
  };
  for (const Case& c : cases) {
    unsigned char scale = 99;
    uint32_t v = 99;
    EXPECT_EQ(scaleDecimal(c.value, c.limit, c.doubleSteps, scale, v), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(scale, c.scale) << c.value;
      EXPECT_EQ(v, c.v) << c.value;
    }
  }
}

TEST(WsqStreamWriter, RefusesWritesPastTheEnd) {
  Buffer b(3);
  EXPECT_EQ(putc_byte(1, b.out), 0);
  EXPECT_EQ(writeUint16(0x0203, b.out), 0);
  EXPECT_EQ(putc_byte(4, b.out), -32);
  EXPECT_EQ(b.written(), (std::vector<unsigned char>{1, 2, 3}));

  Buffer c(5);
  EXPECT_EQ(writeUint32(0x01020304, c.out), 0);
  EXPECT_EQ(writeUint16(5, c.out), -33);
  EXPECT_EQ(writeUint32(5, c.out), -33);
  const unsigned char two[2] = {9, 9};
  EXPECT_EQ(putc_bytes(two, 2, c.out), -33);
  EXPECT_EQ(c.out.length, 4);
  EXPECT_EQ(c.written(), (std::vector<unsigned char>{1, 2, 3, 4}));
}

TEST(WsqStreamWriter, TransformTableIs60BytesCentreTapFirst) {
  Buffer b(100);
  ASSERT_EQ(putc_transform_table(b.out), 0);
  const std::vector<unsigned char> t = b.written();
  ASSERT_EQ(t.size(), 60u);
  EXPECT_EQ(std::vector<unsigned char>(t.begin(), t.begin() + 6),
            (std::vector<unsigned char>{0xFF, 0xA4, 0x00, 0x3A, 9, 7}));
  // First low-pass entry: positive, scale 9, 852698573 = 0x32D325CD.
  EXPECT_EQ(std::vector<unsigned char>(t.begin() + 6, t.begin() + 12),
            (std::vector<unsigned char>{0, 9, 0x32, 0xD3, 0x25, 0xCD}));
  // Third low-pass entry (-0.1106244028) carries the sign byte 1.
  EXPECT_EQ(t[6 + 2 * 6], 1);
  // First high-pass entry: 0.7884855866.
  EXPECT_EQ(t[6 + 5 * 6], 0);
  EXPECT_EQ(t[6 + 5 * 6 + 1], 9);

  Buffer small(59);
  EXPECT_EQ(putc_transform_table(small.out), -33);
}

TEST(WsqStreamWriter, QuantizationTableWritesUncodedSubbandsAsZeros) {
  QuantParams params;
  params.qbss[0] = 27.682f;
  params.qzbs[0] = 33.218f;
  params.qbss[1] = 0.0f;  // dropped subband: its Z is not looked at
  params.qzbs[1] = 5.0f;
  params.qbss[60] = 3.0f;  // 60..63 are never coded
  Buffer b(400);
  ASSERT_EQ(putc_quantization_table(params, b.out), 0);
  const std::vector<unsigned char> t = b.written();
  ASSERT_EQ(t.size(), 391u);
  EXPECT_EQ(std::vector<unsigned char>(t.begin(), t.begin() + 7),
            (std::vector<unsigned char>{0xFF, 0xA5, 0x01, 0x85, 0x02, 0x00, 0x2C}));  // 0.44 as 02 00 2C
  EXPECT_EQ(std::vector<unsigned char>(t.begin() + 7, t.begin() + 13),
            (std::vector<unsigned char>{3, 0x6C, 0x22, 3, 0x81, 0xC2}));  // 27.682 and 33.218
  for (int band = 1; band < 64; ++band) {
    if (band == 0) continue;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(t[7 + band * 6 + i], 0) << "subband " << band;
  }
}

TEST(WsqStreamWriter, QuantizationTableRefusesWidthsBeyond16Bits) {
  QuantParams q;
  q.qbss[5] = 70000.0f;
  q.qzbs[5] = 1.0f;
  Buffer b(400);
  EXPECT_EQ(putc_quantization_table(q, b.out), -86);
  QuantParams z;
  z.qbss[5] = 60000.0f;
  z.qzbs[5] = 72000.0f;
  Buffer c(400);
  EXPECT_EQ(putc_quantization_table(z, c.out), -87);
}

TEST(WsqStreamWriter, FrameHuffmanAndBlockHeaders) {
  Buffer b(200);
  ASSERT_EQ(writeFrameHeader(512, 512, 174.61203f, 1.059469f, b.out), 0);
  EXPECT_EQ(b.written(), (std::vector<unsigned char>{0xFF, 0xA2, 0x00, 0x11, 0, 255, 0x02, 0x00, 0x02, 0x00, 2,
                                                      0x44, 0x35, 4, 0x29, 0x63, 2, 0, 0}));

  Buffer h(100);
  unsigned char bits[MAX_HUFFBITS] = {0, 2, 1};
  const unsigned char values[3] = {5, 180, 7};
  ASSERT_EQ(writeHuffmanTable(1, bits, values, h.out), 0);
  const std::vector<unsigned char> t = h.written();
  ASSERT_EQ(t.size(), 2u + 19u + 3u);
  EXPECT_EQ(t[2], 0);
  EXPECT_EQ(t[3], 22);  // 19 + three values
  EXPECT_EQ(t[4], 1);
  EXPECT_EQ(t[21], 5);
  EXPECT_EQ(t[23], 7);

  Buffer s(10);
  ASSERT_EQ(writeBlockHeader(1, s.out), 0);
  EXPECT_EQ(s.written(), (std::vector<unsigned char>{0xFF, 0xA3, 0x00, 0x03, 0x01}));
}

}  // namespace
}  // namespace wsq
