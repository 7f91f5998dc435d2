// converter_command.cpp: file names and converter command line of one capture.
#include "converter_command.h"

namespace capture_b {

CaptureFiles captureFiles(const std::wstring& tempFolder, const std::wstring& runId) {
  CaptureFiles f;
  f.debugImage = L"original-" + runId + L".pgm";
  f.raw = tempFolder + L"final-" + runId + L".raw";
  f.wsq = tempFolder + L"final-" + runId + L".raw.wsq";
  // Two blanks after the second 512: the converter's arguments are blank-separated, so this is harmless.
  f.converterCommand = L"../../wsq.exe \"" + f.raw + L"\" 512 512  \"" + f.wsq + L"\" 0.75";
  return f;
}

}  // namespace capture_b
