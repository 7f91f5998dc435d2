// timeout_thread.h: one::TimeoutThread aborts the capture when its time limit has passed, unless the
// device manager's abort cancels it first.
#pragma once

#include <atomic>
#include <cstdint>

#include "thread.h"

namespace one {

class DeviceManager;

class TimeoutThread : public Util::Thread {
 public:
  TimeoutThread(DeviceManager* manager, std::int32_t timeoutMs, std::int32_t stepMs)
      : manager(manager), timeoutMs(timeoutMs), stepMs(stepMs) {}

  void setTimeout(std::int32_t ms) { timeoutMs = ms; }  // before start
  void cancel() { cancelRequested = true; }

 protected:
  void run() override;

 private:
  DeviceManager* manager;  // not owned; may be empty
  std::int32_t timeoutMs;
  std::int32_t stepMs;
  std::atomic<bool> cancelRequested{false};
};

}  // namespace one
