// futronic_manager.h: Futronic::FutronicManager, the device manager built on the Futronic scanner
// libraries: opens the scanner, runs the frame loop that shows the live picture and accepts a finger
// after three consecutive frames with enough dark pixels, measures NFIQ, makes the ANSI template and
// writes the side outputs, and closes the device and delivers the result at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "capture_thread.h"
#include "device_manager.h"
#include "futronic_api.h"
#include "timeout_thread.h"

namespace Futronic {

class FutronicManager : public one::DeviceManager {
 public:
  explicit FutronicManager(SimpleLogger::Log* log);
  ~FutronicManager() override;

  bool init() override;
  bool closeDevice() override;
  void captureLoop() override;
  void abortCapture() override;
  bool forceCapture() override;

  // Waits a bounded time for the worker threads to end: they use this object and the window, so
  // shut-down waits for them before destroying either.
  void waitForWorkers();

 private:
  bool createTemplate(std::vector<std::uint8_t>& out);
  void showAndRepaint(const std::vector<std::uint8_t>& frame);
  void writeSideOutputs();

  std::atomic<bool> deviceOpen{false};
  FTRHANDLE deviceHandle = nullptr;
  one::CaptureThread captureThread;
  std::atomic<bool> stopRequested{false};
  one::TimeoutThread timeoutThread;
  FTRSCAN_IMAGE_SIZE imageSize{0, 0, 0};
};

}  // namespace Futronic
