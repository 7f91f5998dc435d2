// test_bmp.h: BMP file images for tests, built in memory: 8-bit, bottom-up by default, with a
// 256-entry palette (grey unless given), the way the capture applications write them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace testbmp {

inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// pixel(x, y) gives the palette index of column x, row y counted from the top.
inline std::vector<std::uint8_t> make(int width, int height, const std::function<std::uint8_t(int, int)>& pixel,
                                      const std::function<std::uint32_t(int)>& paletteEntry = nullptr) {
  const std::uint32_t rowBytes = (width + 3) / 4 * 4;
  const std::uint32_t offset = 14 + 40 + 256 * 4;
  std::vector<std::uint8_t> b(offset + rowBytes * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<std::uint32_t>(b.size()));
  put32(b, 10, offset);
  put32(b, 14, 40);
  put32(b, 18, static_cast<std::uint32_t>(width));
  put32(b, 22, static_cast<std::uint32_t>(height));
  put16(b, 26, 1);
  put16(b, 28, 8);
  put32(b, 34, rowBytes * height);
  put32(b, 38, 19685);  // 500 dpi
  put32(b, 42, 19685);
  put32(b, 46, 256);
  for (int i = 0; i < 256; ++i) {
    put32(b, 54 + 4 * i, paletteEntry ? paletteEntry(i) : static_cast<std::uint32_t>(i * 0x010101));
  }
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.data() + offset + rowBytes * (height - 1 - y);  // bottom-up
    for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
  }
  return b;
}

}  // namespace testbmp
