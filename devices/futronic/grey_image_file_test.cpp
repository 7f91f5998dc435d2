// grey_image_file_test.cpp: PGM and BMP pictures for the virtual scanner, and their placing on a frame.
#include "grey_image_file.h"

#include <gtest/gtest.h>

#include <string>

namespace velmar::futronic {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP of the given size and depth; pixel(x, y) gives the grey of the top-down pixel.
template <class Pixel>
std::vector<std::uint8_t> makeBmp(int w, int h, int bits, bool topDown, Pixel pixel) {
  const int bpp = bits / 8;
  const int stride = (w * bpp + 3) & ~3;
  const int palette = bits == 8 ? 1024 : 0;
  const std::size_t offset = 54 + palette;
  std::vector<std::uint8_t> b(offset + static_cast<std::size_t>(stride) * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<std::uint32_t>(b.size()));
  put32(b, 10, static_cast<std::uint32_t>(offset));
  put32(b, 14, 40);
  put32(b, 18, static_cast<std::uint32_t>(w));
  put32(b, 22, static_cast<std::uint32_t>(topDown ? -h : h));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  if (bits == 8) {
    // An inverted palette: index i shows grey 255 - i, so decoding must go through it.
    for (int i = 0; i < 256; ++i)
      for (int c = 0; c < 3; ++c) b[54 + i * 4 + c] = static_cast<std::uint8_t>(255 - i);
  }
  for (int y = 0; y < h; ++y) {
    const int stored = topDown ? y : h - 1 - y;
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &b[offset + static_cast<std::size_t>(stored) * stride + x * bpp];
      const std::uint8_t g = pixel(x, y);
      if (bits == 8) {
        p[0] = static_cast<std::uint8_t>(255 - g);
      } else {
        p[0] = p[1] = p[2] = g;
      }
    }
  }
  return b;
}

TEST(GreyPicture, PgmWithCommentAndMaxvalIsScaled) {
  std::string text = "P5\n# made by hand\n3 2\n100\n";
  text += std::string{0, 50, 100, 100, 50, 0};
  GreyPicture p;
  std::string why;
  ASSERT_TRUE(decodeGreyPicture(bytesOf(text), &p, &why)) << why;
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.pixels, (std::vector<std::uint8_t>{0, 127, 255, 255, 127, 0}));
}

TEST(GreyPicture, BmpRowsComeOutTopFirstForEveryLayout) {
  auto pixel = [](int x, int y) { return static_cast<std::uint8_t>(10 * y + x); };
  struct Case {
    int bits;
    bool topDown;
  };
  for (const Case c : {Case{8, false}, Case{8, true}, Case{24, false}, Case{32, true}}) {
    SCOPED_TRACE(std::to_string(c.bits) + (c.topDown ? " top-down" : " bottom-up"));
    GreyPicture p;
    std::string why;
    ASSERT_TRUE(decodeGreyPicture(makeBmp(3, 4, c.bits, c.topDown, pixel), &p, &why)) << why;
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(p.pixels[y * 3 + x], pixel(x, y)) << x << "," << y;
  }
}

TEST(GreyPicture, DamagedFilesAreRefused) {
  auto pixel = [](int, int) { return std::uint8_t{9}; };
  std::vector<std::uint8_t> shortBmp = makeBmp(4, 4, 24, false, pixel);
  shortBmp.resize(shortBmp.size() - 1);
  std::vector<std::uint8_t> rle = makeBmp(4, 4, 8, false, pixel);
  rle[30] = 1;
  std::vector<std::uint8_t> huge = makeBmp(4, 4, 24, false, pixel);
  put32(huge, 18, 100000);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"text", bytesOf("hello")},
      {"ascii pgm", bytesOf("P2 1 1 255 0")},
      {"pgm truncated", bytesOf("P5 4 4 255 \x01\x02")},
      {"pgm 16-bit", bytesOf("P5 1 1 65535 \x01\x02")},
      {"pgm zero width", bytesOf("P5 0 4 255 ")},
      {"pgm no header", bytesOf("P5")},
      {"bmp truncated", shortBmp},
      {"bmp compressed", rle},
      {"bmp huge", huge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GreyPicture p;
    std::string why;
    EXPECT_FALSE(decodeGreyPicture(c.bytes, &p, &why));
    EXPECT_FALSE(why.empty());
  }
}

TEST(GreyPicture, FitCentresSmallPicturesAndCropsLargeOnes) {
  GreyPicture small{2, 2, {1, 2, 3, 4}};
  EXPECT_EQ(fitToFrame(small, 4, 3), (std::vector<std::uint8_t>{255, 1, 2, 255,  //
                                                                 255, 3, 4, 255,  //
                                                                 255, 255, 255, 255}));
  GreyPicture large{4, 1, {1, 2, 3, 4}};
  EXPECT_EQ(fitToFrame(large, 2, 1), (std::vector<std::uint8_t>{2, 3}));
}

}  // namespace
}  // namespace velmar::futronic
