// grey_image_file_test.cpp: decoding PGM and BMP pictures into grey, refusing damaged files, and the
// files the writers make.
#include "grey_image_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velmar::synthetic {
namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Rgb {
  uint8_t r, g, b;
};

// Headers of a BMP with a 40-byte info header, the palette's room after them, and zeroed pixel rows
// padded to 4 bytes. Returns the file and, in `stride`, the bytes of a stored row.
std::vector<uint8_t> bmpFrame(int w, int h, int bits, bool topDown, size_t paletteEntries, size_t* stride) {
  *stride = (static_cast<size_t>(w) * (bits / 8) + 3) & ~static_cast<size_t>(3);
  const size_t offset = 54 + 4 * paletteEntries;
  std::vector<uint8_t> b(offset + *stride * static_cast<size_t>(h), 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, static_cast<uint32_t>(offset));
  put32(b, 14, 40);
  put32(b, 18, static_cast<uint32_t>(w));
  put32(b, 22, static_cast<uint32_t>(topDown ? -h : h));
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bits);
  return b;
}

// A 24- or 32-bit BMP of w x h colours given top row first (stored blue, green, red[, alpha 0x80]).
std::vector<uint8_t> colourBmp(int w, int h, int bits, bool topDown, const std::vector<Rgb>& colours) {
  size_t stride = 0;
  std::vector<uint8_t> b = bmpFrame(w, h, bits, topDown, 0, &stride);
  for (int y = 0; y < h; ++y) {
    const size_t stored = static_cast<size_t>(topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &b[54 + stored * stride + static_cast<size_t>(x) * (bits / 8)];
      const Rgb& c = colours[static_cast<size_t>(y) * w + x];
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
      if (bits == 32) p[3] = 0x80;
    }
  }
  return b;
}

// An 8-bit BMP of w x h palette indices given top row first. `palette` is stored after the headers;
// `declared` is the colour count the header gives (0: all 256).
std::vector<uint8_t> indexedBmp(int w, int h, bool topDown, const std::vector<uint8_t>& indices,
                                const std::vector<Rgb>& palette, uint32_t declared) {
  size_t stride = 0;
  std::vector<uint8_t> b = bmpFrame(w, h, 8, topDown, palette.size(), &stride);
  put32(b, 46, declared);
  for (size_t i = 0; i < palette.size(); ++i) {
    b[54 + 4 * i] = palette[i].b;
    b[55 + 4 * i] = palette[i].g;
    b[56 + 4 * i] = palette[i].r;
  }
  const size_t offset = 54 + 4 * palette.size();
  for (int y = 0; y < h; ++y) {
    const size_t stored = static_cast<size_t>(topDown ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) b[offset + stored * stride + x] = indices[static_cast<size_t>(y) * w + x];
  }
  return b;
}

// The grey test picture of 3 x 4 pixels (odd width, so BMP rows need padding at every depth): every
// pixel differs, so a flipped, shifted or mixed-up row shows.
constexpr int kW = 3, kH = 4;
std::vector<uint8_t> greyPicture() {
  std::vector<uint8_t> g;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) g.push_back(static_cast<uint8_t>(10 * y + x + 1));
  return g;
}
std::vector<Rgb> asColours(const std::vector<uint8_t>& grey) {
  std::vector<Rgb> c;
  for (uint8_t g : grey) c.push_back({g, g, g});
  return c;
}
// An inverted grey palette: index i shows grey 255 - i, so decoding must go through it.
std::vector<Rgb> invertedPalette() {
  std::vector<Rgb> p;
  for (int i = 0; i < 256; ++i) p.push_back({static_cast<uint8_t>(255 - i), static_cast<uint8_t>(255 - i),
                                             static_cast<uint8_t>(255 - i)});
  return p;
}
std::vector<uint8_t> inverted(const std::vector<uint8_t>& grey) {
  std::vector<uint8_t> out;
  for (uint8_t g : grey) out.push_back(static_cast<uint8_t>(255 - g));
  return out;
}

TEST(GreyImageFile, Decodes) {
  const std::vector<uint8_t> grey = greyPicture();
  // Two indices with palette entries, the rest of the 256 missing: the pixel data starts right after
  // the two entries, so it must not be read as palette.
  const std::vector<Rgb> shortPalette = {{0, 0, 0}, {255, 255, 255}};
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    int width, height;
    std::vector<uint8_t> want;
  };
  const Case kCases[] = {
      {"pgm with comment", bytesOf(std::string("P5\n# made by hand\n2 2\n255\n") + "\x01\x02\x03\x04"), 2, 2,
       {1, 2, 3, 4}},
      {"pgm maximum value 100 is scaled",
       bytesOf(std::string("P5\n3 2\n100\n") + std::string{0, 50, 100, 100, 50, 0}), 3, 2,
       {0, 127, 255, 255, 127, 0}},
      {"pgm blanks of every kind, comment right after the magic",
       bytesOf(std::string("P5#c\r\n\t1\f1\v255\r") + "\x07"), 1, 1, {7}},
      {"pgm data after the picture is ignored", bytesOf(std::string("P5 1 1 255 ") + "\x09\x01\x02"), 1, 1,
       {9}},
      {"8 bit bottom-up, palette applied", indexedBmp(kW, kH, false, inverted(grey), invertedPalette(), 0),
       kW, kH, grey},
      {"8 bit top-down", indexedBmp(kW, kH, true, inverted(grey), invertedPalette(), 256), kW, kH, grey},
      {"8 bit, two entries declared", indexedBmp(2, 1, false, {1, 0}, shortPalette, 2), 2, 1, {255, 0}},
      {"8 bit, 256 declared but two stored: other indices stay their grey",
       indexedBmp(3, 1, false, {1, 0, 77}, shortPalette, 0), 3, 1, {255, 0, 77}},
      {"24 bit bottom-up, padded rows", colourBmp(kW, kH, 24, false, asColours(grey)), kW, kH, grey},
      {"24 bit top-down", colourBmp(kW, kH, 24, true, asColours(grey)), kW, kH, grey},
      {"32 bit bottom-up", colourBmp(kW, kH, 32, false, asColours(grey)), kW, kH, grey},
      {"32 bit top-down", colourBmp(kW, kH, 32, true, asColours(grey)), kW, kH, grey},
      // Red, green and blue weigh 0.299, 0.587 and 0.114: a channel read in the wrong order shows.
      {"24 bit colour by luminance", colourBmp(3, 1, 24, false, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}),
       3, 1, {76, 150, 29}},
      {"32 bit colour, alpha ignored", colourBmp(2, 1, 32, true, {{200, 100, 50}, {10, 20, 30}}), 2, 1,
       {124, 18}},
      {"8 bit colour palette by luminance", indexedBmp(2, 1, false, {0, 1}, {{255, 0, 0}, {0, 0, 255}}, 2),
       2, 1, {76, 29}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    GreyImage image;
    std::string why;
    ASSERT_TRUE(decodeGreyImage(c.file, image, why)) << why;
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.pixels, c.want);
  }
}

TEST(GreyImageFile, RefusesDamagedFilesWithAReason) {
  const std::vector<uint8_t> grey = greyPicture();
  const auto bmp24 = [&] { return colourBmp(kW, kH, 24, false, asColours(grey)); };
  auto shortBmp = bmp24();
  shortBmp.pop_back();
  auto shortTopDown = colourBmp(4, 4, 24, true, asColours(std::vector<uint8_t>(16, 9)));
  shortTopDown.pop_back();
  auto bmp16 = bmp24();
  bmp16[28] = 16;
  auto rle = indexedBmp(kW, kH, false, grey, invertedPalette(), 0);
  rle[30] = 1;
  auto wide = bmp24();
  put32(wide, 18, 100000);
  auto tall = bmp24();
  put32(tall, 22, 0x80000000u);  // the most negative height: top-down of 2^31 rows
  auto negativeWidth = bmp24();
  put32(negativeWidth, 18, static_cast<uint32_t>(-3));
  auto coreHeader = bmp24();
  put32(coreHeader, 14, 12);
  auto hugeInfo = bmp24();
  put32(hugeInfo, 14, 0xFFFFFFF0u);  // would wrap a 32-bit sum to a small offset
  auto pixelsFarAway = bmp24();
  put32(pixelsFarAway, 10, 0xFFFFFFF0u);
  auto pixelsInHeaders = bmp24();
  put32(pixelsInHeaders, 10, 20);
  auto headersOnly = bmp24();
  headersOnly.resize(53);

  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    const char* reason;  // part of the text that says why
  };
  const Case kCases[] = {
      {"empty", {}, "neither"},
      {"text", bytesOf("hello"), "neither"},
      {"ascii pgm", bytesOf("P2 1 1 255 0"), "neither"},
      {"pgm no header", bytesOf("P5"), "header incomplete"},
      {"pgm missing height", bytesOf("P5 2"), "header incomplete"},
      {"pgm number glued to the magic", bytesOf("P51 1 255 \x01"), "header incomplete"},
      {"pgm zero width", bytesOf("P5 0 4 255 "), "size out of range"},
      {"pgm zero height", bytesOf("P5 2 0 255 "), "size out of range"},
      {"pgm side too large", bytesOf("P5 8193 1 255 "), "size out of range"},
      {"pgm too many pixels", bytesOf("P5 8192 4096 255 "), "size out of range"},
      // Ten digits: the width is 11, which leaves no height; not a 1 x 1 picture of width "000000001".
      {"pgm ten-digit width", bytesOf("P5 0000000011 255\n\x01"), "header incomplete"},
      // 2^32 + 1: cut to 32 bits it would read as width 1.
      {"pgm width beyond 32 bits", bytesOf("P5 4294967297 1 255 \x01"), "size out of range"},
      {"pgm 16 bit", bytesOf("P5 1 1 65535 \x01\x02"), "maximum value"},
      {"pgm maximum value 0", bytesOf(std::string("P5 1 1 0 ") + '\0'), "maximum value"},
      {"pgm header not ended by a blank", bytesOf("P5 1 1 255X\x01"), "not followed by a blank"},
      {"pgm header ends the file", bytesOf("P5 1 1 255"), "not followed by a blank"},
      {"pgm one byte short", bytesOf("P5 2 2 255 \x01\x02\x03"), "truncated"},
      {"pgm only two of sixteen bytes", bytesOf("P5 4 4 255 \x01\x02"), "truncated"},
      {"pgm pixel above the maximum value", bytesOf("P5 2 1 100 \x64\x65"), "above the maximum value"},
      {"bmp headers truncated", headersOnly, "headers truncated"},
      {"bmp info header larger than the file", hugeInfo, "headers truncated"},
      {"bmp core header", coreHeader, "info header of 12 bytes"},
      {"bmp compressed", rle, "uncompressed"},
      {"bmp 16 bit", bmp16, "8, 24 or 32 bits"},
      {"bmp width too large", wide, "size out of range"},
      {"bmp most negative height", tall, "size out of range"},
      {"bmp negative width", negativeWidth, "size out of range"},
      {"bmp pixel data inside the headers", pixelsInHeaders, "overlaps its headers"},
      {"bmp pixel offset past the end", pixelsFarAway, "truncated"},
      {"bmp one byte short", shortBmp, "truncated"},
      {"bmp top-down one byte short", shortTopDown, "truncated"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    GreyImage image{1, 1, {42}};
    std::string why;
    EXPECT_FALSE(decodeGreyImage(c.file, image, why));
    EXPECT_NE(why.find(c.reason), std::string::npos) << "why: " << why;
    // A refused file leaves the caller's picture as it was.
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels, std::vector<uint8_t>{42});
  }
}

TEST(GreyImageFile, WrittenFiles) {
  const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6};  // 3 x 2
  const auto pgm = encodePgm(pixels, 3, 2);
  EXPECT_EQ(std::string(pgm.begin(), pgm.end() - 6), "P5\n3 2\n255\n");
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), pgm.end() - 6));

  const auto bmp = encodeBmp(pixels, 3, 2);
  ASSERT_EQ(bmp.size(), 1078u + 2 * 4);  // rows padded to 4 bytes
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[10] | bmp[11] << 8, 1078);
  EXPECT_EQ(bmp[28], 8);  // bits per pixel
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 1078, bmp.end()),
            (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));  // bottom row first
  EXPECT_THROW(encodeBmp(pixels, 4, 2), std::invalid_argument);
  EXPECT_THROW(encodePgm(pixels, 2, 2), std::invalid_argument);
  EXPECT_THROW(encodePgm({}, 0, 0), std::invalid_argument);
}

// What the writers make, the decoder reads back unchanged, at every row padding.
TEST(GreyImageFile, WrittenFilesReadBack) {
  for (int width = 1; width <= 5; ++width) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < width * 3; ++i) pixels.push_back(static_cast<uint8_t>(i * 37 + 5));
    for (const bool asBmp : {false, true}) {
      SCOPED_TRACE(std::to_string(width) + (asBmp ? " wide BMP" : " wide PGM"));
      GreyImage image;
      std::string why;
      const auto file = asBmp ? encodeBmp(pixels, width, 3) : encodePgm(pixels, width, 3);
      ASSERT_TRUE(decodeGreyImage(file, image, why)) << why;
      EXPECT_EQ(image.width, width);
      EXPECT_EQ(image.height, 3);
      EXPECT_EQ(image.pixels, pixels);
    }
  }
}

}  // namespace
}  // namespace velmar::synthetic
