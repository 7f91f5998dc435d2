// segmentation_log.cpp: the variadic front of the logging seam.
#include "segmentation_log.h"

namespace segmentation {

void SegmentationLog::systemError(const wchar_t* operation) { error(L"%ls", operation); }

void SegmentationLog::debug(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vdebug(format, args);
  va_end(args);
}

void SegmentationLog::error(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  verror(format, args);
  va_end(args);
}

void logDebug(SegmentationLog* log, const wchar_t* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->vdebug(format, args);
  va_end(args);
}

void logError(SegmentationLog* log, const wchar_t* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->verror(format, args);
  va_end(args);
}

}  // namespace segmentation
