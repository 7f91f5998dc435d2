// simple_logger_segmentation_log.cpp: segmentation lines into the capture log.
#include "simple_logger_segmentation_log.h"

#include "simple_logger.h"

namespace segmentation {

void SimpleLoggerSegmentationLog::vdebug(const wchar_t* format, va_list args) {
  if (log_) log_->vwrite(SimpleLogger::LEVEL_DBG, nullptr, nullptr, 0, format, args);
}

void SimpleLoggerSegmentationLog::verror(const wchar_t* format, va_list args) {
  if (log_) log_->vwrite(SimpleLogger::LEVEL_ERR, nullptr, nullptr, 0, format, args);
}

}  // namespace segmentation
