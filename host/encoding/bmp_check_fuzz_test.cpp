// Seeded random mutation of BMP file images against checkBmp, under AddressSanitizer: every accepted
// input is then read the way the bitmap copy reads it (every pixel row from the data offset), from a
// heap block of exactly the given size, so a layout that points outside the bytes is caught.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>

#include "bmp_check.h"
#include "test_bmp.h"

namespace {

std::uint32_t readAllRows(const std::uint8_t* data, const BmpLayout& layout) {
  std::uint32_t sum = 0;
  for (std::uint32_t line = 0; line < layout.lines; ++line) {
    const std::uint8_t* row = data + layout.pixelOffset + std::size_t{line} * layout.rowBytes;
    for (std::uint32_t i = 0; i < layout.rowBytes; ++i) sum += row[i];
  }
  return sum;
}

TEST(CheckBmpFuzz, MutatedFilesNeverLeadOutsideTheBytes) {
  const std::vector<std::uint8_t> seeds[] = {
      testbmp::make(7, 3, [](int x, int y) { return static_cast<std::uint8_t>(x ^ y); }),
      testbmp::make(16, 4, [](int x, int) { return static_cast<std::uint8_t>(x); }),
      testbmp::make(1, 1, [](int, int) { return 0; }),
  };
  // Header fields most worth hitting: size, offset, header size, width, height, bits, compression.
  const std::size_t fieldOffsets[] = {2, 10, 14, 18, 22, 28, 30};
  std::mt19937 rng(20261209);
  std::size_t accepted = 0;
  const int kInputs = 300000;
  for (int n = 0; n < kInputs; ++n) {
    std::vector<std::uint8_t> b = seeds[n % 3];
    const int mutations = 1 + rng() % 4;
    for (int m = 0; m < mutations; ++m) {
      switch (rng() % 6) {
        case 0:  // a random byte anywhere
          if (!b.empty()) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
          break;
        case 1: {  // a header field set to an interesting value
          const std::uint32_t values[] = {0, 1, 8, 40, 54, 1078, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu,
                                          static_cast<std::uint32_t>(b.size()), static_cast<std::uint32_t>(rng())};
          const std::size_t at = fieldOffsets[rng() % 7];
          if (at + 4 <= b.size()) testbmp::put32(b, at, values[rng() % 11]);
          break;
        }
        case 2:  // cut
          b.resize(rng() % (b.size() + 1));
          break;
        case 3:  // grow
          b.resize(b.size() + rng() % 64, static_cast<std::uint8_t>(rng()));
          break;
        case 4:  // keep the size field honest so the deeper checks run
          if (b.size() >= 6) testbmp::put32(b, 2, static_cast<std::uint32_t>(b.size()));
          break;
        default:  // small change of width or height
          if (b.size() >= 26) testbmp::put32(b, rng() % 2 ? 18 : 22, static_cast<std::uint32_t>(rng() % 40) - 20);
          break;
      }
    }
    // An exact-size heap copy: ASan reports any read past it.
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[b.size() + (b.empty() ? 1 : 0)]);
    if (!b.empty()) std::memcpy(exact.get(), b.data(), b.size());
    try {
      const BmpLayout layout = checkBmp(exact.get(), b.size());
      readAllRows(exact.get(), layout);
      greyBitmapInfo(exact.get(), b.size());
      ++accepted;
    } catch (const std::runtime_error& e) {
      ASSERT_STREQ(e.what(), "invalid bmp file");
    }
  }
  // The mutations must leave some inputs valid, or the deeper checks were never exercised.
  EXPECT_GT(accepted, 1000u);
  EXPECT_LT(accepted, std::size_t{kInputs});
}

}  // namespace
