// image_writers.h: the debugging PGM writer and the 8-bit grey BMP file image delivered to the host.
#pragma once

#include <cstdint>
#include <vector>

#include "gray_image.h"
#include "segmentation_log.h"

namespace segmentation {

// Writes "P5 <width> <height> 255 " and the pixels into path (created anew). Logs the header and data
// byte counts; a failed create or write goes to log->systemError("CreateFile" / "WriteFile").
bool writePgm(const GrayImage& image, const wchar_t* path, SegmentationLog* log = nullptr);

// The BMP file image: 14-byte file header, 40-byte information header, 256 grey palette entries,
// pixel rows from the bottom image row up, each padded to a multiple of 4 bytes (512-pixel rows need
// no padding: 512 x 512 gives 263222 bytes). Fails for an image without pixels or with more than one
// channel, or when the block cannot be allocated.
bool toBmp(const GrayImage& image, std::vector<uint8_t>& bmp, SegmentationLog* log = nullptr);

}  // namespace segmentation
