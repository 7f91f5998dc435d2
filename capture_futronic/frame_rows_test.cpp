// frame_rows_test.cpp: the vertical flip between the scanner's row order and the picture's.
#include "frame_rows.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FlipRows, OddAndEvenHeightsAndFlippingTwiceRestores) {
  std::vector<std::uint8_t> odd{1, 2, 3, 4, 5, 6};  // 2 x 3
  flipRows(odd.data(), 2, 3);
  EXPECT_EQ(odd, (std::vector<std::uint8_t>{5, 6, 3, 4, 1, 2}));
  std::vector<std::uint8_t> even{1, 2, 3, 4, 5, 6, 7, 8};  // 2 x 4
  flipRows(even.data(), 2, 4);
  EXPECT_EQ(even, (std::vector<std::uint8_t>{7, 8, 5, 6, 3, 4, 1, 2}));
  flipRows(even.data(), 2, 4);
  EXPECT_EQ(even, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  std::vector<std::uint8_t> one{9, 8, 7};
  flipRows(one.data(), 3, 1);
  EXPECT_EQ(one, (std::vector<std::uint8_t>{9, 8, 7}));
}
