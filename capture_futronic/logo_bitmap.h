// logo_bitmap.h: reading the layout of a BMP file image for the picture ("logo.bmp"). Portable: it
// only checks the bytes and says where the rows are; the window draws them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace one {

// What the picture needs of an uncompressed BMP: the 40-byte information header as the file has it
// and where its rows lie. The picture draws the rows with its own 256-grey palette.
struct LogoBitmap {
  std::uint8_t infoHeader[40];  // BITMAPINFOHEADER bytes, little-endian, from file offset 14
  std::int32_t width = 0;
  std::int32_t height = 0;      // as in the file: positive bottom-up, negative top-down
  std::uint16_t bitCount = 0;   // 1, 4, 8, 16, 24 or 32
  std::size_t rowOffset = 0;    // where the first row starts
  std::size_t stride = 0;       // bytes per row, padded to 4
};

// True when bytes are a BMP file with an information header of at least 40 bytes, no compression,
// one of the bit counts above, a width of 1..8192, a height of 1..8192 either way, and every row inside
// the bytes. Then out describes it; otherwise out is left as it was.
bool readLogoBitmap(const std::vector<std::uint8_t>& bytes, LogoBitmap& out);

}  // namespace one
