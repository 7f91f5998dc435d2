// capture_processing_win.h: onDeviceCaptureCallback, the one place where a capture ends: the first
// outcome is admitted (later ones are ignored), a captured image is normalised, converted to WSQ by the
// external converter and delivered with its BMP; every outcome is shown in the dialog, sent to the
// host, set as the exit code, and ends the dialog. Runs on the thread that calls it.
#pragma once

#include <cstdint>
#include <string>

#include "reader_report.h"

namespace capture_b {

// 1 when the outcome was processed, 0 when it was ignored.
int onDeviceCaptureCallback(int32_t code, ReportOutcome& capture);

// Writes bytes to a new file (an existing one is replaced). False and logged on failure; an empty
// buffer logs "Archivo vacío".
bool writeWholeFile(const std::wstring& path, const void* bytes, size_t count);

}  // namespace capture_b
