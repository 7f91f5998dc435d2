// device_manager.h: one::DeviceManager, the device-independent interface the window, the worker
// threads and the result delivery drive the scanner through, and the run state it carries.
//
// Threads: init, closeDevice and writeResults run on the window thread, captureLoop on the capture
// thread, abortCapture on the window or the timeout thread. resultCode is shared by all three and is
// atomic; once writeResults has taken it, the result is delivered and final: the worker threads change
// it only through setResultCode, which refuses after delivery (a timeout that fires just as the window
// delivers a capture cannot turn the exit code into 203). capturedFrame and the captured size are
// written by the capture thread before it publishes 0 and read on the window thread after it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "capture_settings.h"
#include "simple_logger.h"

namespace one {

class FingerprintWindow;

class DeviceManager {
 public:
  explicit DeviceManager(SimpleLogger::Log* log);
  virtual ~DeviceManager();
  DeviceManager(const DeviceManager&) = delete;
  DeviceManager& operator=(const DeviceManager&) = delete;

  virtual bool init() = 0;          // open and prepare the device, start the threads
  virtual bool closeDevice() = 0;   // stop everything, close the device, deliver the result
  virtual void captureLoop() = 0;   // the frame loop, on the capture thread
  virtual void abortCapture() = 0;  // stop a running capture
  virtual bool forceCapture() = 0;  // manual capture request (unused)

  // Delivers the final outcome to the two host pipes (processing an accepted frame first); always
  // true. Only the first call delivers; a later one sends nothing. Window thread.
  bool writeResults();

  // Sets the result code unless the result has already been delivered; false (code unchanged) then.
  bool setResultCode(std::int32_t code);
  bool resultDelivered();

  SimpleLogger::Log* log;
  CaptureSettings settings;
  FingerprintWindow* window = nullptr;  // not owned
  std::atomic<std::int32_t> resultCode;
  std::int32_t nfiq = 0;
  std::vector<std::uint8_t> capturedFrame;  // scanner row order, one byte a pixel
  std::int32_t capturedWidth = 0;
  std::int32_t capturedHeight = 0;

 private:
  std::mutex resultLock;  // resultCode's writers after start-up, and the delivery
  bool delivered = false;
};

}  // namespace one
