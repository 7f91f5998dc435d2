// capture_processing.h: turns an accepted frame into what the host receives: the finger segmented and
// centred in the output image, its WSQ data and its BMP file, and the final result code. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "capture_settings.h"

namespace SimpleLogger {
class Log;
}

namespace one {

struct CaptureOutput {
  std::int32_t code = 0;
  std::vector<std::uint8_t> wsq;
  std::vector<std::uint8_t> bmp;
};

// True with code 0 and both byte strings filled on success; false with code 204 (no single finger)
// or 210 (WSQ or BMP conversion failed). An empty frame cannot be processed: false with code 211.
bool processCapture(const std::vector<std::uint8_t>& capturedFrame, std::int32_t capturedWidth,
                    std::int32_t capturedHeight, const CaptureSettings& settings, SimpleLogger::Log* log,
                    CaptureOutput& output);

}  // namespace one
