#include "crop_fill.h"

#include <gtest/gtest.h>

#include "segmentation_test_support.h"

namespace segmentation {
namespace {

// Pixel value that names its position, so a test can tell which source pixel landed where.
GrayImage numbered(int w, int h) {
  GrayImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.at(x, y) = static_cast<uint8_t>((x * 7 + y * 13) % 200);
  return image;
}

TEST(MaskOutside, WhitensEveryPixelOfAnotherLabel) {
  GrayImage grey({10, 20, 30, 40, 50, 60}, 3, 2);
  const GrayImage labels({3, 255, 3, 7, 3, 255}, 3, 2);
  ASSERT_TRUE(maskOutside(grey, labels, 3, 255));
  EXPECT_EQ(grey.data, (std::vector<uint8_t>{10, 255, 30, 255, 50, 255}));
}

TEST(MaskOutside, RefusesMismatchedImages) {
  GrayImage grey(3, 2, 1);
  const GrayImage wrongSize(2, 3, 3);
  GrayImage noBuffer;
  noBuffer.width = 3;
  noBuffer.height = 2;
  EXPECT_FALSE(maskOutside(grey, wrongSize, 3, 255));
  EXPECT_FALSE(maskOutside(grey, noBuffer, 3, 255));
  EXPECT_EQ(grey.data, std::vector<uint8_t>(6, 1));
}

TEST(Crop, RequiresTheBoxInsideTheSourceAndTheCutOfItsSize) {
  const GrayImage source = numbered(10, 8);
  const struct { int minX, minY, maxX, maxY, cutW, cutH; bool ok; } cases[] = {
      {2, 3, 4, 5, 3, 3, true},   {0, 0, 9, 7, 10, 8, true}, {2, 3, 4, 5, 3, 2, false},
      {4, 3, 2, 5, 3, 3, false},  {8, 6, 10, 7, 3, 2, false}, {-1, 0, 1, 1, 3, 2, false},
      {0, 6, 2, 8, 3, 3, false}};
  for (const auto& c : cases) {
    GrayImage cut(c.cutW, c.cutH, 0);
    EXPECT_EQ(crop(source, c.minX, c.minY, c.maxX, c.maxY, cut), c.ok)
        << c.minX << "," << c.minY << "," << c.maxX << "," << c.maxY;
    if (c.ok) {
      EXPECT_EQ(cut.at(0, 0), source.at(c.minX, c.minY));
      EXPECT_EQ(cut.at(c.cutW - 1, c.cutH - 1), source.at(c.maxX, c.maxY));
    }
  }
}

TEST(FillInto, CentresOrPlacesAndFillsTheRest) {
  const GrayImage cut({1, 2, 3, 4, 5, 6}, 3, 2);
  GrayImage target(6, 5, 0);
  ASSERT_TRUE(fillInto(cut, target, -1, -1, 9));  // centred: row (5-2)/2 = 1, column (6-3)/2 = 1
  EXPECT_EQ(target.data, (std::vector<uint8_t>{9, 9, 9, 9, 9, 9,  //
                                               9, 1, 2, 3, 9, 9,  //
                                               9, 4, 5, 6, 9, 9,  //
                                               9, 9, 9, 9, 9, 9,  //
                                               9, 9, 9, 9, 9, 9}));
  ASSERT_TRUE(fillInto(cut, target, 3, 3, 7));  // explicit offsets, flush with the corner
  EXPECT_EQ(target.at(3, 3), 1);
  EXPECT_EQ(target.at(5, 4), 6);
  EXPECT_EQ(target.at(2, 3), 7);
}

TEST(FillInto, RefusesACutThatDoesNotFit) {
  const GrayImage cut(3, 2, 1);
  GrayImage small(2, 5, 0);
  EXPECT_FALSE(fillInto(cut, small, -1, -1, 9));
  GrayImage target(6, 5, 0);
  EXPECT_FALSE(fillInto(cut, target, 4, 0, 9));  // rows 4..5 of 5
  EXPECT_FALSE(fillInto(cut, target, 0, 4, 9));  // columns 4..6 of 6
  EXPECT_EQ(target.data, std::vector<uint8_t>(30, 0));
}

TEST(CropAndFill, BoxesLargerThanTheTargetKeepTheirLeftAndTopPart) {
  const GrayImage source = numbered(700, 700);
  // 600 x 300 box: the left 512 columns, at column 0, centred vertically (row 106).
  GrayImage target(512, 512, 0);
  ASSERT_TRUE(cropAndFill(source, 50, 60, 649, 359, target, -1, -1, 255));
  EXPECT_EQ(target.at(0, 106), source.at(50, 60));
  EXPECT_EQ(target.at(511, 106), source.at(561, 60));
  EXPECT_EQ(target.at(511, 405), source.at(561, 359));
  EXPECT_EQ(target.at(0, 105), 255);
  EXPECT_EQ(target.at(0, 406), 255);
  // 300 x 600 box: the top 512 rows at row 0, column 106.
  ASSERT_TRUE(cropAndFill(source, 10, 20, 309, 619, target, -1, -1, 255));
  EXPECT_EQ(target.at(106, 0), source.at(10, 20));
  EXPECT_EQ(target.at(405, 511), source.at(309, 531));
  EXPECT_EQ(target.at(105, 0), 255);
}

TEST(CropAndFill, RejectsInvertedBoxes) {
  const GrayImage source = numbered(20, 20);
  GrayImage target(16, 16, 0);
  EXPECT_FALSE(cropAndFill(source, 5, 5, 4, 8, target, -1, -1, 255));
  EXPECT_FALSE(cropAndFill(source, 5, 5, 8, 4, target, -1, -1, 255));
  EXPECT_FALSE(cropAndFill(source, 15, 5, 24, 8, target, -1, -1, 255));  // past the source
  EXPECT_EQ(target.data, std::vector<uint8_t>(256, 0));
}

}  // namespace
}  // namespace segmentation
