// simple_logger_segmentation_log.h: velmar-capture-a's side of the segmentation's logging seam: progress
// at level 1 (DBG), failures at level 5 (ERR) into the program's SimpleLogger::Log; nothing when the log
// pointer is null. Same threading as the log.
#pragma once

#include "segmentation_log.h"

namespace SimpleLogger {
class Log;
}

namespace segmentation {

class SimpleLoggerSegmentationLog final : public SegmentationLog {
 public:
  explicit SimpleLoggerSegmentationLog(SimpleLogger::Log* log) : log_(log) {}
  void vdebug(const wchar_t* format, va_list args) override;
  void verror(const wchar_t* format, va_list args) override;

 private:
  SimpleLogger::Log* log_;
};

}  // namespace segmentation
