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

void setMessageLabel(const std::wstring& text) {
  if (HWND dialog = guiDescriptor().dialog) SetDlgItemTextW(dialog, guiDescriptor().messageLabelId, text.c_str());
}

void setStatusLabel(const std::wstring& text) {
  if (HWND dialog = guiDescriptor().dialog) SetDlgItemTextW(dialog, guiDescriptor().statusLabelId, text.c_str());
}

}  // namespace capture_b
