// app_state_win.h: the process-wide records of velmar-capture-b. RunSettings is written on the main
// thread during start-up, before the dialog and any other thread exist, and only read afterwards; the
// exit code and the dialog handle are the only values that change later, so both are atomic.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "result_codes.h"
#include "run_settings.h"

namespace capture_b {

// The dialog and the callbacks it hands its life-cycle events to.
struct GuiDescriptor {
  int (*onInit)(HWND dialog, int imageFrameId) = nullptr;
  int (*onCancel)() = nullptr;
  int (*onClose)() = nullptr;
  int (*onCapture)() = nullptr;  // kept, never called by the dialog
  std::atomic<HWND> dialog{nullptr};
  int messageLabelId = 1003;
  int statusLabelId = 1006;
  int imageFrameId = 1001;
};

RunSettings& runSettings();
GuiDescriptor& guiDescriptor();
// The capture's result code, 299 until the device start or the result processing sets it.
std::atomic<int32_t>& exitCode();

// Label texts, settable from any thread (the window system passes them to the dialog's thread).
void setMessageLabel(const std::wstring& text);
void setStatusLabel(const std::wstring& text);

}  // namespace capture_b
