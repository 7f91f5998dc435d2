#include "image_writers.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "segmentation_test_support.h"
#include "testing/temp_dir.h"

namespace segmentation {
namespace {

using testing::RecordingLog;
using velmar::testing::readBytes;
using velmar::testing::TempDir;

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

GrayImage pattern(int w, int h) {
  GrayImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.at(x, y) = static_cast<uint8_t>(x ^ (y * 3));
  return image;
}

TEST(WritePgm, HeaderWithTrailingBlankThenPixels) {
  TempDir dir;
  const GrayImage image = pattern(512, 512);
  RecordingLog log;
  const auto path = (dir / "f.pgm").wstring();
  ASSERT_TRUE(writePgm(image, path.c_str(), &log));
  const std::string bytes = readBytes(dir / "f.pgm");
  ASSERT_EQ(bytes.size(), 15u + 262144u);
  EXPECT_EQ(bytes.substr(0, 15), "P5 512 512 255 ");
  EXPECT_EQ(bytes.substr(15), std::string(image.data.begin(), image.data.end()));
  EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"DBG PGM header = 15 bytes",
                                                   L"DBG PGM data = 262144/262144 bytes"}));
  // Written anew: a second, smaller image replaces the file.
  ASSERT_TRUE(writePgm(pattern(2, 1), path.c_str()));
  EXPECT_EQ(readBytes(dir / "f.pgm").size(), 11u + 2u);
}

TEST(WritePgm, Failures) {
  TempDir dir;
  RecordingLog log;
  const auto path = (dir / "e.pgm").wstring();
  EXPECT_FALSE(writePgm(GrayImage(), path.c_str(), &log));
  EXPECT_FALSE(std::filesystem::exists(dir / "e.pgm"));
  const auto missing = (dir / "no-such-folder" / "x.pgm").wstring();
  EXPECT_FALSE(writePgm(pattern(4, 4), missing.c_str(), &log));
  EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"DBG PGM imagen vac\u00eda", L"SYS CreateFile"}));
}

#ifdef _WIN32
TEST(WritePgm, CreatesTheFileNotShared) {
  // Another handle that shares everything holds the file: a create that shares nothing must fail.
  TempDir dir;
  const auto path = (dir / "held.pgm").wstring();
  const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  RecordingLog log;
  EXPECT_FALSE(writePgm(pattern(4, 4), path.c_str(), &log));
  EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"SYS CreateFile"}));
  CloseHandle(held);
  EXPECT_TRUE(writePgm(pattern(4, 4), path.c_str()));
}
#endif

TEST(ToBmp, FiveTwelveSquare) {
  const GrayImage image = pattern(512, 512);
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(toBmp(image, bmp));
  ASSERT_EQ(bmp.size(), 263222u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(le32(bmp, 2), 263222u);
  EXPECT_EQ(le32(bmp, 6), 0u);
  EXPECT_EQ(le32(bmp, 10), 1078u);
  EXPECT_EQ(le32(bmp, 14), 40u);
  EXPECT_EQ(le32(bmp, 18), 512u);
  EXPECT_EQ(le32(bmp, 22), 512u);
  EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
  EXPECT_EQ(bmp[28] | bmp[29] << 8, 8);
  EXPECT_EQ(le32(bmp, 30), 0u);
  EXPECT_EQ(le32(bmp, 34), 262144u);
  EXPECT_EQ(le32(bmp, 38), 2835u);
  EXPECT_EQ(le32(bmp, 42), 2835u);
  EXPECT_EQ(le32(bmp, 46), 0u);
  EXPECT_EQ(le32(bmp, 50), 0u);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(le32(bmp, 54 + 4 * i), i | i << 8 | i << 16);
  // First stored row is the last image row.
  EXPECT_TRUE(std::equal(bmp.begin() + 1078, bmp.begin() + 1078 + 512, &image.at(0, 511)));
  EXPECT_TRUE(std::equal(bmp.end() - 512, bmp.end(), &image.at(0, 0)));
}

TEST(ToBmp, RowsOfOtherWidthsArePadded) {
  const GrayImage image({1, 2, 3, 4, 5, 6}, 3, 2);
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(toBmp(image, bmp));
  ASSERT_EQ(bmp.size(), 1078u + 8u);
  EXPECT_EQ(le32(bmp, 34), 8u);
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 1078, bmp.end()),
            (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(ToBmp, EmptyImageFails) {
  RecordingLog log;
  std::vector<uint8_t> bmp;
  EXPECT_FALSE(toBmp(GrayImage(), bmp, &log));
  EXPECT_EQ(log.lines, std::vector<std::wstring>{L"DBG imagen vac\u00eda"});
}

}  // namespace
}  // namespace segmentation
