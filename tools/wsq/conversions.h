// conversions.h: one file in, one file out: the work of the single-file commands and of every file of a
// batch. Pure of global state; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "image_files.h"

namespace wsq_tool {

// Encodes width x height grey pixels (rows from the top; `size` bytes at `pixels`) at `bitRate` bits per
// pixel and writes the stream to `outPath`, which appears only complete. Returns false with `error` set
// (no "wsq: " prefix).
bool encodeToFile(const unsigned char* pixels, size_t size, int width, int height, float bitRate,
                  const std::string& outPath, size_t& streamBytes, std::string& error);

// Decodes the WSQ file `inPath` and writes its picture as `format` to `outPath`. Returns false with
// `error` set.
bool decodeToFile(const std::string& inPath, ImageFormat format, const std::string& outPath, int& width,
                  int& height, std::string& error);

}  // namespace wsq_tool
