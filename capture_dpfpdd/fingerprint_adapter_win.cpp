// fingerprint_adapter_win.cpp: the segmentation component inside velmar-capture-b, logging through
// CaptureLog (progress at DEBUG, failures at ERROR, file failures through logSystemError).
#include "fingerprint_adapter.h"

#include "app_state_win.h"
#include "capture_log_win.h"
#include "log_line.h"
#include "segmentation.h"
#include "segmentation_settings.h"

namespace capture_b {
namespace {

class CaptureSegmentationLog : public segmentation::SegmentationLog {
 public:
  void vdebug(const wchar_t* format, va_list args) override {
    captureLog().write(formatLogMessage(format, args), LOG_LEVEL_DEBUG, true);
  }
  void verror(const wchar_t* format, va_list args) override {
    captureLog().write(formatLogMessage(format, args), LOG_LEVEL_ERROR, true);
  }
  void systemError(const wchar_t* operation) override { captureLog().logSystemError(operation); }
};

}  // namespace

bool normaliseFinger(const std::vector<uint8_t>& pixels, int width, int height, bool dump,
                     std::vector<uint8_t>& output) {
  CaptureSegmentationLog log;
  segmentation::GrayImage frame(pixels, width, height);
  segmentation::GrayImage out(kOutputSide, kOutputSide, 255);
  if (!segmentation::GetFingerPrint(frame, out, captureSegmentationParams(width, height), dump,
                                    runSettings().runId, &log)) {
    return false;
  }
  output = std::move(out.data);
  return true;
}

bool writeDebugPgm(const std::wstring& path, const std::vector<uint8_t>& pixels, int width, int height) {
  CaptureSegmentationLog log;
  return segmentation::writePgm(segmentation::GrayImage(pixels, width, height), path.c_str(), &log);
}

std::vector<uint8_t> bmpFileOf(const std::vector<uint8_t>& pixels, int width, int height) {
  CaptureSegmentationLog log;
  std::vector<uint8_t> bmp;
  if (!segmentation::toBmp(segmentation::GrayImage(pixels, width, height), bmp, &log)) bmp.clear();
  return bmp;
}

}  // namespace capture_b
