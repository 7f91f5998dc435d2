// capture_status.h: the final status of a capture as the dialog shows it and the log names it. Portable.
#pragma once

#include <cstdint>

namespace capture_b {

struct CaptureStatus {
  const wchar_t* label;  // status label text
  const wchar_t* word;   // word logged for the outcome (INFO for success, ERROR otherwise)
};

CaptureStatus captureStatus(int32_t code);

}  // namespace capture_b
