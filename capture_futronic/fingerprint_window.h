// fingerprint_window.h: one::FingerprintWindow, the capture window: a title line over the picture. Its
// creation opens the device and starts the capture; its close handler closes the device and delivers
// the result. Window thread, except showFrame (capture thread).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "control_label.h"
#include "fingerprint_control.h"
#include "window.h"

namespace SimpleLogger {
class Log;
}

namespace one {

class DeviceManager;

class FingerprintWindow : public win_ui::Window {
 public:
  FingerprintWindow(HINSTANCE instance, SimpleLogger::Log* log);
  ~FingerprintWindow() override;

  void onClose() override;
  void onSize(int type, int width, int height) override;
  bool onCreate() override;
  void onKeyDown(int key) override;
  void onCommand(WPARAM wParam, LPARAM lParam) override;

  // Links window and manager both ways and takes the title, status and notice texts.
  void attach(DeviceManager* manager);
  void setCenterText(const std::wstring& text);

  // Capture thread: shows a bottom-up frame and repaints the picture and the title without erasing.
  void showFrame(const std::uint8_t* pixels, int width, int height);
  // Asks the window to close (from any thread).
  void requestClose();

  FingerprintControl picture;
  win_ui::ControlLabel titleLabel;

 private:
  DeviceManager* manager = nullptr;
  SimpleLogger::Log* log;
};

}  // namespace one
