// bmp_check.h: validation of an 8-bit BMP file image before any of its bytes are used to build a
// bitmap, and the bitmap description that renders it through the grey ramp. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;         // as stored: negative for top-down rows
  std::uint32_t lines = 0;         // number of pixel rows, |height|
  std::uint32_t pixelOffset = 0;   // file offset of the first pixel row
  std::uint32_t rowBytes = 0;      // bytes per row, padded to 4
};

// Checks that data[0..size) is an uncompressed 8-bit BMP whose pixel rows lie wholly inside the given
// bytes: "BM", both headers present, the size field equal to size, a 40-byte or larger information
// header, one plane, 8 bits per pixel, no compression, non-zero width and height, and lines * rowBytes bytes from
// the data offset on. Throws std::runtime_error("invalid bmp file") otherwise.
BmpLayout checkBmp(const std::uint8_t* data, std::size_t size);

// The 40-byte information header of the file (its size field set to 40 and its colour count to 0, so
// that all 256 entries apply) followed by a 256-entry grey ramp: the file's own palette is never used.
std::vector<std::uint8_t> greyBitmapInfo(const std::uint8_t* data, std::size_t size);
