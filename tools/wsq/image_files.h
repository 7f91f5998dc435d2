// image_files.h: file images of a decoded grey picture: binary PGM, 8-bit BMP with a grey palette, or
// the bare pixel rows (raw).
#pragma once

#include <string>
#include <vector>

namespace wsq_tool {

enum class ImageFormat { Pgm, Bmp, Raw, Unknown };

// By the file name's extension, case-insensitive: .pgm, .bmp, .raw.
ImageFormat imageFormatOf(const std::string& path);

// The bytes of the file; rows of `pixels` from the top, width x height bytes.
std::vector<unsigned char> imageFileBytes(ImageFormat format, int width, int height,
                                          const std::vector<unsigned char>& pixels);

}  // namespace wsq_tool
