// The picture's bitmap: replaced frame by frame, the old one deleted first, and the logo drawn from
// every uncompressed BMP.
#include "fingerprint_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace one {
namespace {

std::vector<std::uint8_t> bmpFile(int width, int height, int bits) {
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  std::vector<std::uint8_t> b(54 + stride * static_cast<std::size_t>(height), 0);
  std::fill(b.begin() + 54, b.end(), 0x80);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  return b;
}

TEST(FingerprintControl, AFrameThatCannotBeCopiedLeavesNoOldPicture) {
  FingerprintControl control(GetModuleHandleW(nullptr));
  int failures = 0;
  control.copyFailure = [&] { ++failures; };
  const std::vector<std::uint8_t> frame(16 * 8, 0x40);
  control.setFrame(frame.data(), 16, 8);
  ASSERT_TRUE(control.hasPicture());
  ASSERT_EQ(failures, 0);
  // 65536 × 65536 bytes is more than a bitmap can hold: creation fails before a row is read.
  control.setFrame(frame.data(), 65536, 65536);
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(control.hasPicture());
  control.setFrame(frame.data(), 16, 8);
  EXPECT_TRUE(control.hasPicture());
}

TEST(FingerprintControl, DrawsTheLogoOfEveryUncompressedBitCount) {
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    FingerprintControl control(GetModuleHandleW(nullptr));
    control.copyFailure = [] { ADD_FAILURE() << "bitmap not made"; };
    EXPECT_TRUE(control.setBitmapFile(bmpFile(37, 5, bits)));
    EXPECT_TRUE(control.hasPicture());
  }
  FingerprintControl control(GetModuleHandleW(nullptr));
  std::vector<std::uint8_t> cut = bmpFile(37, 5, 24);
  cut.pop_back();
  EXPECT_FALSE(control.setBitmapFile(cut));
  EXPECT_FALSE(control.hasPicture());
}

}  // namespace
}  // namespace one
