#include "morphology.h"

#include <gtest/gtest.h>

#include "segmentation_test_support.h"
#include "testing/temp_dir.h"

namespace segmentation {
namespace {

using testing::frameWith;
using testing::Rect;

// Renders a binary image as rows of '#' (0) and '.' (255).
std::vector<std::string> picture(const GrayImage& image) {
  std::vector<std::string> rows;
  for (int y = 0; y < image.height; ++y) {
    std::string row;
    for (int x = 0; x < image.width; ++x) row += image.at(x, y) == 0 ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(ApplyThreshold, AtOrAboveLowByteIsLight) {
  GrayImage image({0, 209, 210, 211, 255}, 5, 1);
  applyThreshold(image, 210);
  EXPECT_EQ(image.data, (std::vector<uint8_t>{0, 0, 255, 255, 255}));
  GrayImage wrapped({0, 209, 210, 211, 255}, 5, 1);
  applyThreshold(wrapped, 256 + 210);  // only the low byte counts
  EXPECT_EQ(wrapped.data, image.data);
}

TEST(Erode, ReadsTheImageAsAtTheStartOfThePass) {
  // A 3 x 3 dark block keeps only its centre after one pass; a pass that read its own writes would
  // lose the centre too.
  GrayImage image = frameWith(5, 5, {{1, 1, 3, 3}});
  ASSERT_TRUE(erode(image, 1));
  EXPECT_EQ(picture(image), (std::vector<std::string>{".....", ".....", "..#..", ".....", "....."}));
  ASSERT_TRUE(erode(image, 1));
  EXPECT_EQ(picture(image)[2], ".....");
}

TEST(Erode, BorderAndPasses) {
  GrayImage full(4, 3, 0);  // all dark: the border outside the image does not erode
  ASSERT_TRUE(erode(full, 1));
  EXPECT_EQ(picture(full), (std::vector<std::string>{"####", "####", "####"}));
  GrayImage block = frameWith(7, 7, {{1, 1, 5, 5}});
  const auto before = block.data;
  ASSERT_TRUE(erode(block, 0));
  EXPECT_EQ(block.data, before);
  ASSERT_TRUE(erode(block, 2));
  EXPECT_EQ(picture(block)[3], "...#...");
}

TEST(Dilate, SevenBySevenDisc) {
  GrayImage image = frameWith(9, 9, {{4, 4, 1, 1}});
  ASSERT_TRUE(dilate(image, 1));
  EXPECT_EQ(picture(image), (std::vector<std::string>{".........", "...###...", "..#####..",
                                                      ".#######.", ".#######.", ".#######.",
                                                      "..#####..", "...###...", "........."}));
  GrayImage corner = frameWith(3, 3, {{0, 0, 1, 1}});  // disc clipped at the image border
  ASSERT_TRUE(dilate(corner, 1));
  EXPECT_EQ(picture(corner), (std::vector<std::string>{"###", "###", "###"}));
}

// The definition, pixel by pixel: every pixel of value `from` writes `from` over the stencil around it
// (inside the image) into a copy taken at the start of the pass.
GrayImage spreadByDefinition(const GrayImage& image, uint8_t from, const std::vector<std::string>& stencil) {
  GrayImage out = image;
  const int r = static_cast<int>(stencil.size()) / 2;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      if (image.at(x, y) != from) continue;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          const int tx = x + dx, ty = y + dy;
          if (stencil[dy + r][dx + r] == '1' && tx >= 0 && ty >= 0 && tx < image.width && ty < image.height)
            out.at(tx, ty) = from;
        }
    }
  return out;
}

TEST(Morphology, AgreesWithThePixelByPixelDefinition) {
  const std::vector<std::string> cross = {"010", "111", "010"};
  const std::vector<std::string> disc = {"0011100", "0111110", "1111111", "1111111",
                                         "1111111", "0111110", "0011100"};
  struct Size {
    int w, h;
  };
  // Sizes below, at and above the stencils' reach; binary images and images with grey levels.
  for (const Size size : {Size{1, 1}, Size{2, 1}, Size{1, 7}, Size{3, 3}, Size{7, 5}, Size{40, 31}}) {
    for (int levels : {2, 4}) {
      GrayImage image(size.w, size.h);
      uint32_t state = static_cast<uint32_t>(size.w * 131 + size.h * 7 + levels);
      for (auto& p : image.data) {
        state = state * 1664525u + 1013904223u;
        const int level = static_cast<int>((state >> 24) % static_cast<uint32_t>(levels * 3));
        p = level == 0 ? 0 : (level == 1 ? 255 : static_cast<uint8_t>(level < levels ? 255 : 64 * (level % 4)));
      }
      GrayImage eroded = image, dilated = image;
      ASSERT_TRUE(erode(eroded, 1));
      ASSERT_TRUE(dilate(dilated, 1));
      EXPECT_EQ(eroded.data, spreadByDefinition(image, 255, cross).data) << size.w << " x " << size.h;
      EXPECT_EQ(dilated.data, spreadByDefinition(image, 0, disc).data) << size.w << " x " << size.h;
    }
  }
}

TEST(Morphology, RefusesUnusableImages) {
  GrayImage empty;
  GrayImage twoChannels(4, 4, 0);
  twoChannels.channels = 2;
  GrayImage shortBuffer(4, 4, 0);
  shortBuffer.data.resize(5);
  for (GrayImage* image : {&empty, &twoChannels, &shortBuffer}) {
    EXPECT_FALSE(erode(*image, 1));
    EXPECT_FALSE(dilate(*image, 1));
    // The image is checked before anything changes: the count keeps what it held.
    uint32_t count = 7;
    EXPECT_FALSE(binarizeAndCount(*image, 210, nullptr, &count));
    EXPECT_EQ(count, 7u);
  }
}

TEST(BinarizeAndCount, CountsPixelsBelowTheLevel) {
  GrayImage image({0, 209, 210, 255, 100, 30}, 3, 2);
  uint32_t count = 99;
  ASSERT_TRUE(binarizeAndCount(image, 210, nullptr, &count));
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(image.data, (std::vector<uint8_t>{0, 0, 255, 255, 0, 0}));
  EXPECT_TRUE(binarizeAndCount(image, 210, nullptr, nullptr));  // count optional
}

TEST(BinarizeAndCount, WritesPgmWhenAPathIsGiven) {
  velmar::testing::TempDir dir;
  GrayImage image({0, 250, 10, 255}, 2, 2);
  const auto path = (dir / "b.pgm").wstring();
  uint32_t count = 0;
  ASSERT_TRUE(binarizeAndCount(image, 210, path.c_str(), &count));
  EXPECT_EQ(velmar::testing::readBytes(dir / "b.pgm"),
            std::string("P5 2 2 255 ") + std::string("\x00\xff\x00\xff", 4));
}

}  // namespace
}  // namespace segmentation
