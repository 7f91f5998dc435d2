// fingerprint_control.h: one::FingerprintControl, the picture: the live frame stretched over the
// control, with a status text near its bottom and a notice in its middle.
//
// Threads: setFrame runs on the capture thread, painting on the window thread; the bitmap is replaced
// and painted under one lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "control.h"
#include "control_label.h"
#include "win/unique_handle.h"

namespace one {

class FingerprintControl : public win_ui::Control {
 public:
  explicit FingerprintControl(HINSTANCE instance);

  void onPaint() override;
  void onCommand(WPARAM wParam, LPARAM lParam) override;

  // Replaces the picture with a bottom-up 8-bit grey frame of width × height bytes (rows unpadded).
  // The old picture is deleted first; a frame that cannot be copied leaves none and is reported.
  void setFrame(const std::uint8_t* pixels, int width, int height);
  // Replaces the picture with the rows of an uncompressed BMP file image (1 to 32 bits a pixel), rows
  // of up to 8 bits shown with a grey palette; false if the bytes are no complete BMP of that kind
  // (the picture is then left as it was).
  bool setBitmapFile(const std::vector<std::uint8_t>& bytes);
  bool hasPicture();

  // What a bitmap that cannot be made does; unset, it shows the "error" message box. Tests set it.
  std::function<void()> copyFailure;

  win_ui::ControlLabel statusLabel;
  win_ui::ControlLabel centerLabel;
  win_ui::ControlLabel upperLabel;

 private:
  void replacePicture(const BITMAPINFOHEADER& header, const std::uint8_t* rows, std::size_t rowBytes);

  std::mutex pictureLock;  // guards picture
  velmar::win::UniqueBitmap picture;
};

}  // namespace one
