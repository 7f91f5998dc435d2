// image_file.h: reads the finger image a scenario names, as 8-bit grey pixels. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dpfpdd_virtual {

struct GrayPixels {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;  // row-major from the top row, width bytes a row
};

// Decodes a binary PGM ("P5", maximum value 255) or an uncompressed BMP of 8, 24 or 32 bits per pixel
// (colour is turned into grey). Sides above 4096 pixels and truncated files are refused.
bool decodeGrayImage(const std::vector<uint8_t>& file, GrayPixels& out, std::string& error);

}  // namespace dpfpdd_virtual
