// app_state_win.cpp: the process-wide records and the label setters.
#include "app_state_win.h"

namespace capture_b {

RunSettings& runSettings() {
  static RunSettings settings;
  return settings;
}

GuiDescriptor& guiDescriptor() {
  static GuiDescriptor gui;
  return gui;
}

std::atomic<int32_t>& exitCode() {
  static std::atomic<int32_t> code{DEV_ERR_FAILURE};
  return code;
}

namespace {

// The label is painted at once: a user cancel is processed on the dialog's own thread, which then
// waits a second before ending the dialog and would otherwise never show the outcome.
void setLabel(int id, const std::wstring& text) {
  HWND dialog = guiDescriptor().dialog;
  if (!dialog) return;
  SetDlgItemTextW(dialog, id, text.c_str());
  if (HWND label = GetDlgItem(dialog, id)) RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace

void setMessageLabel(const std::wstring& text) { setLabel(guiDescriptor().messageLabelId, text); }

void setStatusLabel(const std::wstring& text) { setLabel(guiDescriptor().statusLabelId, text); }

}  // namespace capture_b
