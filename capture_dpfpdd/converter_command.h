// converter_command.h: the temporary file names of one capture and the WSQ converter's command line.
// Portable.
#pragma once

#include <string>

namespace capture_b {

struct CaptureFiles {
  std::wstring debugImage;  // "original-<runId>.pgm"
  std::wstring raw;         // "final-<runId>.raw"
  std::wstring wsq;         // "final-<runId>.raw.wsq"
  std::wstring converterCommand;
};

// The converter is "../../wsq.exe", relative to the working directory, and gets the raw file, its
// size 512 x 512, the WSQ file to write and the bit rate 0.75.
CaptureFiles captureFiles(const std::wstring& runId);

}  // namespace capture_b
