// capture_thread.h: one::CaptureThread runs the device manager's frame loop on its own thread.
#pragma once

#include "thread.h"

namespace one {

class DeviceManager;

class CaptureThread : public Util::Thread {
 public:
  explicit CaptureThread(DeviceManager* manager) : manager(manager) {}

 protected:
  void run() override;

 private:
  DeviceManager* manager;  // not owned; may be empty
};

}  // namespace one
