// The GDI+ path of the JSON line under Wine: BMP checks, the grey ramp, JPEG bytes, toJsonString.
#include "image_encoder_win.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "basen.h"
#include "device_exports.h"
#include "host_log.h"
#include "test_bmp.h"
#include "win/unique_handle.h"

namespace {

std::vector<std::uint8_t> gradient(int width, int height) {
  return testbmp::make(width, height, [](int x, int y) { return static_cast<std::uint8_t>((x + 2 * y) & 0xFF); });
}

TEST(EncodeImage, JpegOfAnEightBitBmp) {
  const std::vector<std::uint8_t> jpeg = encodeImage(gradient(64, 48), L"image/jpeg");
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
  EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);
}

TEST(EncodeImage, Failures) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bmp;
    const wchar_t* mime;
    const char* error;
  };
  std::vector<std::uint8_t> oneLarger = gradient(8, 8);
  testbmp::put32(oneLarger, 2, static_cast<std::uint32_t>(oneLarger.size() + 1));
  std::vector<std::uint8_t> offsetPastEnd = gradient(8, 8);
  testbmp::put32(offsetPastEnd, 10, static_cast<std::uint32_t>(offsetPastEnd.size() - 8));
  const Case cases[] = {
      {"result code byte", {208}, L"image/jpeg", "invalid bmp file"},
      {"size field one larger", oneLarger, L"image/jpeg", "invalid bmp file"},
      {"rows past the end", offsetPastEnd, L"image/jpeg", "invalid bmp file"},
      {"unknown type", gradient(8, 8), L"image/x-none", "encoder clsid not found"},
      {"type compared exactly", gradient(8, 8), L"IMAGE/JPEG", "encoder clsid not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      encodeImage(c.bmp, c.mime);
      ADD_FAILURE() << "encoded";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

TEST(BmpToHbitmap, OwnPaletteIsReplacedByTheGreyRamp) {
  // Pixel value x in column x; the file's palette maps every index to pure red.
  const std::vector<std::uint8_t> bmp =
      testbmp::make(256, 2, [](int x, int) { return static_cast<std::uint8_t>(x); }, [](int) { return 0x00FF0000u; });
  velmar::win::UniqueBitmap bitmap(bmpToHbitmap(bmp));
  ASSERT_TRUE(bitmap);
  velmar::win::UniqueDC dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  RGBQUAD table[256] = {};
  EXPECT_EQ(GetDIBColorTable(dc.get(), 0, 256, table), 256u);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(table[i].rgbRed, i);
    ASSERT_EQ(table[i].rgbGreen, i);
    ASSERT_EQ(table[i].rgbBlue, i);
  }
  EXPECT_EQ(GetPixel(dc.get(), 200, 0), RGB(200, 200, 200));
  SelectObject(dc.get(), old);
}

TEST(BmpToHbitmap, ShortPaletteFileStillGetsAllGreys) {
  // 3 x 1 pixels, a 2-entry palette stored in the file, pixel indices above it.
  std::vector<std::uint8_t> bmp(14 + 40 + 8 + 4, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  testbmp::put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
  testbmp::put32(bmp, 10, 62);
  testbmp::put32(bmp, 14, 40);
  testbmp::put32(bmp, 18, 3);
  testbmp::put32(bmp, 22, 1);
  testbmp::put16(bmp, 26, 1);
  testbmp::put16(bmp, 28, 8);
  testbmp::put32(bmp, 46, 2);
  bmp[62] = 10;
  bmp[63] = 128;
  bmp[64] = 250;
  velmar::win::UniqueBitmap bitmap(bmpToHbitmap(bmp));
  velmar::win::UniqueDC dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(10, 10, 10));
  EXPECT_EQ(GetPixel(dc.get(), 1, 0), RGB(128, 128, 128));
  EXPECT_EQ(GetPixel(dc.get(), 2, 0), RGB(250, 250, 250));
  SelectObject(dc.get(), old);
}

TEST(ToJsonString, BuildsTheLine) {
  biodeviceOutput output;
  output.wsq = {'a', 'b', 'c', 'd'};
  output.bmp = gradient(32, 32);
  std::string json = "untouched";
  toJsonString(output, "0", json);
  const std::string head = "{\"wsq\":\"YWJjZA\",\"jpg\":\"/9j/";
  ASSERT_EQ(json.compare(0, head.size(), head), 0) << json.substr(0, 60);
  const std::string tail = "\",\"exitcode\":\"0\",\"error\":\"\",\"solution\":\"\"}";
  ASSERT_GT(json.size(), tail.size());
  EXPECT_EQ(json.substr(json.size() - tail.size()), tail);
  EXPECT_EQ(json.find('='), std::string::npos);
  EXPECT_EQ(json.find('\n'), std::string::npos);
}

TEST(ToJsonString, InvalidBmpLeavesTheTextAndWarns) {
  std::vector<std::string> warnings;
  const HostLogSink previous = setHostLogSink([&](int level, const std::string& text) {
    if (level == LOG_WARN) warnings.push_back(text);
  });
  biodeviceOutput output;
  output.bmp = {208};
  output.exitCode = 208;
  std::string json = "kept";
  toJsonString(output, "208", json);
  setHostLogSink(previous);
  EXPECT_EQ(json, "kept");
  EXPECT_EQ(warnings, (std::vector<std::string>{"error json to string: invalid bmp file"}));
}

}  // namespace
