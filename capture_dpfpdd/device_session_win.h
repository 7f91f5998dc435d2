// device_session_win.h: the one capture of a run with the dpfpdd reader: start (init, list, open), arm
// one asynchronous capture, watch the timeout, turn every report into a result code for the result
// processing, close. Four threads meet here: the dialog's thread (the GUI callbacks), the library's
// callback thread (onReaderCapture), one dispatch thread and the timeout watch.
#pragma once

#include <windows.h>

#include <cstdint>

#include "reader_report.h"

namespace capture_b {

// Receives every outcome: the result code and, for 0, the captured image (otherwise empty). Returns 1
// when the outcome was processed, 0 when it was ignored.
using ProcessingCallback = int (*)(int32_t code, ReportOutcome& capture);

// 0 when the reader is open; otherwise the result code of the failed step.
int32_t startDevice(ProcessingCallback callback, int timeoutMs);
// 1 when closed or nothing was open; the result code when the library's close fails.
int32_t closeDevice();

// At the end of the run: stops the timeout watch and waits for it (bounded), so that a watch that has
// just fired finishes its cancel before the process ends.
void stopTimeoutWatch();

int onGuiInitCallback(HWND dialog, int imageFrameId);
int onGuiCancelCallback();
int onGuiCloseCallback();
int onGuiCaptureCallback();

}  // namespace capture_b
