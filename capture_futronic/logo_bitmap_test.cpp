#include "logo_bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace one {
namespace {

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Shape {
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bits;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;
  std::uint32_t palette = 0;  // bytes between the headers and the rows
};

// A BMP file image with rows of the shape's stride, filled with a counting pattern.
std::vector<std::uint8_t> bmp(const Shape& s) {
  const std::size_t stride = ((static_cast<std::size_t>(s.width > 0 ? s.width : 1) * s.bits + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(s.height < 0 ? -s.height : s.height);
  const std::size_t offset = 54 + s.palette;
  std::vector<std::uint8_t> b(offset + stride * rows);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<std::uint32_t>(b.size()));
  put32(b, 10, static_cast<std::uint32_t>(offset));
  put32(b, 14, s.infoSize);
  put32(b, 18, static_cast<std::uint32_t>(s.width));
  put32(b, 22, static_cast<std::uint32_t>(s.height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(s.bits);
  put32(b, 30, s.compression);
  for (std::size_t i = offset; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i);
  return b;
}

TEST(LogoBitmap, EveryUncompressedBitCountIsDrawable) {
  struct Case { Shape shape; std::size_t stride; };
  const Case cases[] = {
      {{3, 2, 8, 0, 40, 1024}, 4},  {{3, 2, 24}, 12}, {{3, 2, 32}, 12}, {{3, 2, 16}, 8},
      {{3, 2, 4, 0, 40, 64}, 4},    {{33, 2, 1, 0, 40, 8}, 8},          {{5, -3, 8}, 8},  // top-down
      {{8192, 1, 8}, 8192},         {{1, -8192, 24}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shape.width << "x" << c.shape.height << "x" << c.shape.bits);
    const auto bytes = bmp(c.shape);
    LogoBitmap logo;
    ASSERT_TRUE(readLogoBitmap(bytes, logo));
    EXPECT_EQ(logo.width, c.shape.width);
    EXPECT_EQ(logo.height, c.shape.height);
    EXPECT_EQ(logo.bitCount, c.shape.bits);
    EXPECT_EQ(logo.stride, c.stride);
    EXPECT_EQ(logo.rowOffset, 54u + c.shape.palette);
    EXPECT_EQ(std::memcmp(logo.infoHeader, &bytes[14], 40), 0);
  }
}

TEST(LogoBitmap, RefusesWhatCannotBeDrawnOrIsIncomplete) {
  struct Case { const char* what; std::vector<std::uint8_t> bytes; };
  auto cut = [](std::vector<std::uint8_t> b, std::size_t n) { b.resize(b.size() - n); return b; };
  auto offsetAt = [](std::vector<std::uint8_t> b, std::uint32_t o) { put32(b, 10, o); return b; };
  auto notBm = [](std::vector<std::uint8_t> b) { b[1] = 'A'; return b; };
  const Case cases[] = {
      {"empty", {}},
      {"shorter than the headers", cut(bmp({1, 1, 8}), 5)},
      {"not BM", notBm(bmp({3, 2, 8}))},
      {"run-length coded", bmp({3, 2, 8, 1})},
      {"bit fields", bmp({3, 2, 16, 3})},
      {"two bits a pixel", bmp({3, 2, 2})},
      {"12-byte core header", bmp({3, 2, 8, 0, 12})},
      {"width 0", bmp({0, 2, 8})},
      {"width 8193", bmp({8193, 1, 8})},
      {"height 0", bmp({3, 0, 8})},
      {"height -8193", bmp({1, -8193, 8})},
      {"last row cut short", cut(bmp({3, 2, 24}), 1)},
      {"rows start beyond the end", offsetAt(bmp({3, 2, 8}), 4000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LogoBitmap logo;
    logo.width = -7;
    EXPECT_FALSE(readLogoBitmap(c.bytes, logo));
    EXPECT_EQ(logo.width, -7);  // untouched
  }
}

}  // namespace
}  // namespace one
