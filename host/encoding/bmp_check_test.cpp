#include "bmp_check.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "test_bmp.h"

namespace {

using testbmp::put16;
using testbmp::put32;

std::vector<std::uint8_t> valid(int width = 13, int height = 5) {
  return testbmp::make(width, height, [](int x, int y) { return static_cast<std::uint8_t>(x * 16 + y); });
}

TEST(CheckBmp, AcceptsWhatTheCaptureApplicationsWrite) {
  const std::vector<std::uint8_t> bmp = valid(512, 512);
  const BmpLayout layout = checkBmp(bmp.data(), bmp.size());
  EXPECT_EQ(layout.width, 512);
  EXPECT_EQ(layout.height, 512);
  EXPECT_EQ(layout.lines, 512u);
  EXPECT_EQ(layout.pixelOffset, 1078u);
  EXPECT_EQ(layout.rowBytes, 512u);
}

TEST(CheckBmp, AcceptsPaddedRowsTopDownRowsAndShortPalettes) {
  std::vector<std::uint8_t> bmp = valid(13, 5);
  EXPECT_EQ(checkBmp(bmp.data(), bmp.size()).rowBytes, 16u);
  put32(bmp, 22, static_cast<std::uint32_t>(-5));
  const BmpLayout topDown = checkBmp(bmp.data(), bmp.size());
  EXPECT_EQ(topDown.height, -5);
  EXPECT_EQ(topDown.lines, 5u);

  // A writer that stores only the colours it uses: 2 palette entries, pixels from offset 62.
  std::vector<std::uint8_t> shortPalette(62 + 4 * 2, 0);
  shortPalette[0] = 'B';
  shortPalette[1] = 'M';
  put32(shortPalette, 2, static_cast<std::uint32_t>(shortPalette.size()));
  put32(shortPalette, 10, 62);
  put32(shortPalette, 14, 40);
  put32(shortPalette, 18, 3);
  put32(shortPalette, 22, 2);
  put16(shortPalette, 26, 1);
  put16(shortPalette, 28, 8);
  put32(shortPalette, 46, 2);
  EXPECT_EQ(checkBmp(shortPalette.data(), shortPalette.size()).pixelOffset, 62u);

  // A version-5 information header (124 bytes) before the palette.
  std::vector<std::uint8_t> v5(14 + 124 + 1024 + 8, 0);
  v5[0] = 'B';
  v5[1] = 'M';
  put32(v5, 2, static_cast<std::uint32_t>(v5.size()));
  put32(v5, 10, 14 + 124 + 1024);
  put32(v5, 14, 124);
  put32(v5, 18, 4);
  put32(v5, 22, 2);
  put16(v5, 26, 1);
  put16(v5, 28, 8);
  EXPECT_EQ(checkBmp(v5.data(), v5.size()).lines, 2u);
}

TEST(CheckBmp, RefusesMalformedFiles) {
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
  };
  const Case cases[] = {
      {"not BM", [](auto& b) { b[1] = 'A'; }},
      {"size field one larger", [](auto& b) { put32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); }},
      {"size field one smaller", [](auto& b) { put32(b, 2, static_cast<std::uint32_t>(b.size() - 1)); }},
      {"bytes cut, size field following", [](auto& b) { b.resize(b.size() - 1); put32(b, 2, static_cast<std::uint32_t>(b.size())); }},
      {"data offset past the end", [](auto& b) { put32(b, 10, static_cast<std::uint32_t>(b.size() + 1)); }},
      {"data offset near the end", [](auto& b) { put32(b, 10, static_cast<std::uint32_t>(b.size() - 16)); }},
      {"data offset huge", [](auto& b) { put32(b, 10, 0xFFFFFFF0u); }},
      {"data offset inside the headers", [](auto& b) { put32(b, 10, 20); }},
      {"height one more row", [](auto& b) { put32(b, 22, 6); }},
      {"height huge", [](auto& b) { put32(b, 22, 0x7FFFFFFF); }},
      {"top-down height too large", [](auto& b) { put32(b, 22, static_cast<std::uint32_t>(-6)); }},
      {"most negative height", [](auto& b) { put32(b, 22, 0x80000000u); }},
      {"width past the row padding", [](auto& b) { put32(b, 18, 17); }},
      {"width huge", [](auto& b) { put32(b, 18, 0x7FFFFFFF); }},
      {"negative width", [](auto& b) { put32(b, 18, static_cast<std::uint32_t>(-13)); }},
      {"width 0", [](auto& b) { put32(b, 18, 0); }},
      {"height 0", [](auto& b) { put32(b, 22, 0); }},
      // The image encoder refuses any plane count but 1, after both data checks had passed.
      {"0 planes", [](auto& b) { put16(b, 26, 0); }},
      {"2 planes", [](auto& b) { put16(b, 26, 2); }},
      {"24 bits", [](auto& b) { put16(b, 28, 24); }},
      {"1 bit", [](auto& b) { put16(b, 28, 1); }},
      {"RLE8 compressed", [](auto& b) { put32(b, 30, 1); }},
      {"information header too short", [](auto& b) { put32(b, 14, 12); }},
      {"information header past the end", [](auto& b) { put32(b, 14, 0xFFFFFF00u); }},
      {"only the headers", [](auto& b) { b.resize(54); put32(b, 2, 54); }},
      {"shorter than the headers", [](auto& b) { b.resize(53); put32(b, 2, 53); }},
      {"one byte", [](auto& b) { b.assign(1, 208); }},
      {"nothing", [](auto& b) { b.clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bmp = valid();
    c.spoil(bmp);
    try {
      checkBmp(bmp.data(), bmp.size());
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "invalid bmp file");
    }
  }
}

TEST(GreyBitmapInfo, AlwaysTheGreyRampWithAllEntries) {
  const std::vector<std::uint8_t> bmp =
      testbmp::make(4, 2, [](int x, int) { return static_cast<std::uint8_t>(x); }, [](int i) { return 0x00FF0000u - i; });
  std::vector<std::uint8_t> infoOnly(bmp);
  put32(infoOnly, 46, 7);  // a file that claims to use 7 colours
  const std::vector<std::uint8_t> info = greyBitmapInfo(infoOnly.data(), infoOnly.size());
  ASSERT_EQ(info.size(), 40u + 1024u);
  EXPECT_EQ(info[0], 40);
  EXPECT_EQ(info[32], 0);  // colours used: all 256
  EXPECT_EQ(std::vector<std::uint8_t>(info.begin() + 4, info.begin() + 12),
            std::vector<std::uint8_t>(bmp.begin() + 18, bmp.begin() + 26));  // width and height kept
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* entry = info.data() + 40 + 4 * i;
    ASSERT_EQ(entry[0], i);
    ASSERT_EQ(entry[1], i);
    ASSERT_EQ(entry[2], i);
    ASSERT_EQ(entry[3], 0);
  }
}

}  // namespace
