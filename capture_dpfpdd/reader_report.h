// reader_report.h: what velmar-capture-b makes of the reader library's answers: the result code of a
// failed call and the outcome of a capture report. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "dpfpdd/dpfpdd.h"

namespace capture_b {

enum class LibraryCall { OpenOrCapture, Close };

// Result code for a failed library call.
int32_t resultForLibraryError(int32_t libraryResult, LibraryCall call);

// The program's own copy of a report: the record's first 64 bytes followed by the image bytes, the
// copy's image pointer redirected to them. Owns its bytes.
class ReportCopy {
 public:
  // Empty when data is null.
  static ReportCopy of(const void* data);
  bool empty() const { return bytes_.empty(); }
  const dpfpdd::CaptureReport& report() const;

 private:
  std::vector<uint8_t> bytes_;
};

struct ReportOutcome {
  int32_t code = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // width x height bytes for a captured image, else empty
};

// Error field set: 212; an image: 0 with a copy of width x height bytes; quality "cancelled": 208;
// anything else: 216.
ReportOutcome outcomeOf(const dpfpdd::CaptureReport& report);

}  // namespace capture_b
