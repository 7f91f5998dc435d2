// capture_dialog_win.h: the capture dialog, velmar-capture-b's only window. Runs on the start-up thread;
// labels and the end of the dialog may also be set from the dispatch thread and the timeout watch.
#pragma once

#include <windows.h>

namespace capture_b {

INT_PTR CALLBACK captureDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace capture_b
