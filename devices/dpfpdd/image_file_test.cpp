// image_file_test.cpp: decoding the virtual reader's finger images.
#include "image_file.h"

#include <gtest/gtest.h>

namespace dpfpdd_virtual {
namespace {

std::vector<uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP of width 3, height h (negative = top-down), bpp 8 or 24, rows padded to 4 bytes.
std::vector<uint8_t> bmp(int32_t h, uint16_t bpp, const std::vector<std::vector<uint8_t>>& rowsTopDown) {
  const uint32_t w = 3, rows = static_cast<uint32_t>(h < 0 ? -h : h);
  const uint32_t palette = bpp == 8 ? 1024 : 0;
  const uint32_t stride = ((w * bpp + 31) / 32) * 4;
  const uint32_t offset = 54 + palette;
  std::vector<uint8_t> b(offset + stride * rows, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, offset);
  put32(b, 14, 40);
  put32(b, 18, w);
  put32(b, 22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bpp);
  if (bpp == 8) {  // an inverted grey palette, to show it is applied
    for (uint32_t i = 0; i < 256; ++i) {
      b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(255 - i);
    }
  }
  for (uint32_t r = 0; r < rows; ++r) {
    const uint32_t stored = h > 0 ? rows - 1 - r : r;
    for (uint32_t x = 0; x < w; ++x) {
      if (bpp == 8) {
        b[offset + stored * stride + x] = rowsTopDown[r][x];
      } else {
        for (int c = 0; c < 3; ++c) b[offset + stored * stride + 3 * x + c] = rowsTopDown[r][x];
      }
    }
  }
  return b;
}

TEST(ImageFile, PgmWithComment) {
  GrayPixels img;
  std::string error;
  ASSERT_TRUE(decodeGrayImage(bytes(std::string("P5\n# made by hand\n2 2\n255\n") + "\x01\x02\x03\x04"),
                              img, error))
      << error;
  EXPECT_EQ(img.width, 2u);
  EXPECT_EQ(img.height, 2u);
  EXPECT_EQ(img.pixels, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(ImageFile, BmpRowsComeOutTopDown) {
  const std::vector<std::vector<uint8_t>> rows = {{10, 20, 30}, {40, 50, 60}};
  struct Case { const char* name; int32_t h; uint16_t bpp; std::vector<uint8_t> want; };
  const Case kCases[] = {
      {"8 bit bottom-up, palette applied", 2, 8, {245, 235, 225, 215, 205, 195}},
      {"24 bit bottom-up, padded rows", 2, 24, {10, 20, 30, 40, 50, 60}},
      {"24 bit top-down", -2, 24, {10, 20, 30, 40, 50, 60}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    GrayPixels img;
    std::string error;
    ASSERT_TRUE(decodeGrayImage(bmp(c.h, c.bpp, rows), img, error)) << error;
    EXPECT_EQ(img.width, 3u);
    EXPECT_EQ(img.height, 2u);
    EXPECT_EQ(img.pixels, c.want);
  }
}

TEST(ImageFile, RefusesBrokenFiles) {
  const std::vector<std::vector<uint8_t>> rows = {{1, 2, 3}, {4, 5, 6}};
  auto shortBmp = bmp(2, 24, rows);
  shortBmp.resize(shortBmp.size() - 1);
  auto bmp16 = bmp(2, 24, rows);
  bmp16[28] = 16;
  struct Case { const char* name; std::vector<uint8_t> file; };
  const Case kCases[] = {
      {"empty", {}},
      {"text", bytes("hello")},
      {"pgm truncated", bytes("P5 2 2 255 \x01\x02\x03")},
      {"pgm 16 bit", bytes("P5 1 1 65535 \x01\x02")},
      {"pgm zero width", bytes("P5 0 2 255 ")},
      {"pgm too large", bytes("P5 5000 1 255 ")},
      {"pgm missing height", bytes("P5 2")},
      {"bmp truncated", shortBmp},
      {"bmp 16 bit", bmp16},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    GrayPixels img;
    std::string error;
    EXPECT_FALSE(decodeGrayImage(c.file, img, error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace dpfpdd_virtual
