// grey_image_file.h: reads a finger picture for the virtual scanner from the bytes of a binary PGM
// (P5, maxval up to 255) or an uncompressed BMP (8-bit palette, 24- or 32-bit) file. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmar::futronic {

struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row-major, top row first, one byte a pixel
};

// Decodes PGM or BMP bytes (told apart by their magic). On failure returns false and says why.
bool decodeGreyPicture(const std::vector<std::uint8_t>& bytes, GreyPicture* out, std::string* why);

// Places the picture centred on a white frame of width × height (cropping what does not fit).
std::vector<std::uint8_t> fitToFrame(const GreyPicture& picture, int width, int height);

}  // namespace velmar::futronic
