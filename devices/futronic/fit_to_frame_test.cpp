// fit_to_frame_test.cpp: placing a picture file on the virtual scanner's frame.
#include "fit_to_frame.h"

#include <gtest/gtest.h>

namespace velmar::futronic {
namespace {

using velmar::synthetic::GreyImage;

TEST(FitToFrame, CentresSmallPicturesAndCropsLargeOnes) {
  GreyImage small{2, 2, {1, 2, 3, 4}};
  EXPECT_EQ(fitToFrame(small, 4, 3), (std::vector<std::uint8_t>{255, 1, 2, 255,  //
                                                                 255, 3, 4, 255,  //
                                                                 255, 255, 255, 255}));
  GreyImage large{4, 1, {1, 2, 3, 4}};
  EXPECT_EQ(fitToFrame(large, 2, 1), (std::vector<std::uint8_t>{2, 3}));
}

}  // namespace
}  // namespace velmar::futronic
