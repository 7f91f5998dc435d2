// image_files.h: file images of a decoded grey picture: binary PGM, 8-bit BMP with a grey palette, or
// the bare pixel rows (raw).
#pragma once

#include <string>
#include <vector>

#include "file_bytes.h"

namespace wsq_tool {

enum class ImageFormat { Pgm, Bmp, Raw, Unknown };

// By the file name's extension, case-insensitive: .pgm, .bmp, .raw.
ImageFormat imageFormatOf(const std::string& path);

// The file as runs to write one after the other: the header, built into `header`, and the rows of
// `pixels` (from the top, width x height bytes) where they are, so the picture is not copied. Both must
// outlive the runs.
std::vector<ByteRun> imageFileRuns(ImageFormat format, int width, int height, const unsigned char* pixels,
                                   std::vector<unsigned char>& header);

// The bytes of the file, in one buffer.
std::vector<unsigned char> imageFileBytes(ImageFormat format, int width, int height,
                                          const std::vector<unsigned char>& pixels);

}  // namespace wsq_tool
