// grey_image_file.h: 8-bit grey pictures as PGM and BMP files, both ways. The stand-in devices read the
// finger pictures their scenarios name with decodeGreyImage; the synthetic finger tool writes its
// frames with encodePgm and encodeBmp. Portable, pure functions; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmar::synthetic {

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // row-major, top row first, width bytes a row
};

// Largest picture decodeGreyImage accepts: each side up to kMaxGreyImageSide pixels and no more than
// kMaxGreyImagePixels pixels in all (16 MiB of grey bytes).
constexpr int kMaxGreyImageSide = 8192;
constexpr int64_t kMaxGreyImagePixels = 4096LL * 4096LL;

// Decodes the bytes of a binary PGM ("P5", maximum value 1..255, scaled to 0..255) or of an
// uncompressed BMP (8 bits through a palette, 24 or 32 bits; bottom-up or top-down rows); colour
// becomes grey by luminance. The format is told by the file's magic. Files that are truncated,
// inconsistent or too large are refused: the function returns false, says why in `why` and leaves
// `out` as it was. It never reads outside `bytes`.
bool decodeGreyImage(const std::vector<uint8_t>& bytes, GreyImage& out, std::string& why);

// File images of a frame: binary PGM ("P5\nw h\n255\n" + pixels) and 8-bit grey BMP (identity grey
// palette, bottom-up rows padded to 4 bytes). Both throw std::invalid_argument when a side is below 1
// or the pixel count is not width x height.
std::vector<uint8_t> encodePgm(const std::vector<uint8_t>& pixels, int width, int height);
std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& pixels, int width, int height);

}  // namespace velmar::synthetic
