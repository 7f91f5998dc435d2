// segmentation_log.h: the seam through which the segmentation logs, so each program routes the lines
// into its own log. velmar-capture-a passes a SimpleLoggerSegmentationLog (its SimpleLogger::Log at
// levels 1 and 5); velmar-capture-b implements the interface over its own log (debug lines at DEBUG,
// failures at ERROR, systemError through its logSystemError). A null SegmentationLog* logs nothing and
// changes nothing else. Called on the caller's thread.
#pragma once

#include <cstdarg>

namespace segmentation {

class SegmentationLog {
 public:
  virtual ~SegmentationLog() = default;
  // Progress lines. printf-style wide format; wide strings are passed with %ls.
  virtual void vdebug(const wchar_t* format, va_list args) = 0;
  // Failures.
  virtual void verror(const wchar_t* format, va_list args) = 0;
  // A failed file operation of writePgm, named "CreateFile" or "WriteFile"; the calling thread's
  // last system error is still the one of the failed call. By default: an error line with the name.
  virtual void systemError(const wchar_t* operation);

  void debug(const wchar_t* format, ...);
  void error(const wchar_t* format, ...);
};

// The same through a pointer that may be null (then nothing is logged).
void logDebug(SegmentationLog* log, const wchar_t* format, ...);
void logError(SegmentationLog* log, const wchar_t* format, ...);

}  // namespace segmentation
