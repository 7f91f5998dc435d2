// worker_threads_test.cpp: the capture and timeout threads against a fake device manager: the timeout
// aborts and then leaves 203, a cancel stops it without touching the result, a timeout that comes after
// the delivery leaves the delivered result, the capture thread runs the frame loop once and reports
// when it has ended; the window creates the controls the capture thread draws into before the device
// manager starts it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "capture_thread.h"
#include "fingerprint_window.h"
#include "device_manager.h"
#include "result_codes.h"
#include "timeout_thread.h"

namespace one {
namespace {

class FakeManager : public DeviceManager {
 public:
  FakeManager() : DeviceManager(nullptr) {}
  bool init() override { return true; }
  bool closeDevice() override { return true; }
  void captureLoop() override {
    ++loops;
    Sleep(loopMs);
  }
  void abortCapture() override {
    ++aborts;
    resultCode = DEV_ERR_CANCELLED;
  }
  bool forceCapture() override { return true; }

  std::atomic<int> loops{0};
  std::atomic<int> aborts{0};
  DWORD loopMs = 0;
};

TEST(TimeoutThread, RunningOutAbortsThenLeavesTimeoutCode) {
  FakeManager manager;
  manager.resultCode = DEV_ERR_INTERNAL_DEVICE;  // the frame loop's code while it runs
  TimeoutThread timeout(&manager, 0, 50);
  timeout.setTimeout(200);
  ASSERT_TRUE(timeout.start());
  ASSERT_TRUE(timeout.waitEnded(10000));
  EXPECT_FALSE(timeout.isRunning());
  EXPECT_EQ(manager.aborts, 1);
  EXPECT_EQ(manager.resultCode, DEV_ERR_TIMEOUT);
}

TEST(TimeoutThread, CancelEndsItWithoutTouchingTheResult) {
  FakeManager manager;
  manager.resultCode = DEV_SUCCESS;
  TimeoutThread timeout(&manager, 0, 50);
  timeout.setTimeout(60000);
  ASSERT_TRUE(timeout.start());
  timeout.cancel();
  ASSERT_TRUE(timeout.waitEnded(10000));
  EXPECT_EQ(manager.aborts, 0);
  EXPECT_EQ(manager.resultCode, DEV_SUCCESS);
}

// The window thread delivers while the timeout thread is inside its abort (it passed its last check
// just before the close cancelled it): the timeout's 203 must not replace what went out.
class DeliversDuringAbort : public FakeManager {
 public:
  void abortCapture() override {
    ++aborts;
    writeResults();
  }
};

TEST(TimeoutThread, TimeoutAfterDeliveryKeepsTheDeliveredResult) {
  DeliversDuringAbort manager;
  manager.settings.wsqPipeName = L"\\\\.\\pipe\\velmar-worker-test-none-wsq";
  manager.settings.bmpPipeName = L"\\\\.\\pipe\\velmar-worker-test-none-bmp";
  manager.resultCode = DEV_ERR_CANCELLED;  // what the window delivers
  TimeoutThread timeout(&manager, 0, 50);
  timeout.setTimeout(100);
  ASSERT_TRUE(timeout.start());
  ASSERT_TRUE(timeout.waitEnded(10000));
  EXPECT_EQ(manager.aborts, 1);
  EXPECT_TRUE(manager.resultDelivered());
  EXPECT_EQ(manager.resultCode, DEV_ERR_CANCELLED);
  // Nothing changes it afterwards, and a second delivery sends nothing.
  EXPECT_FALSE(manager.setResultCode(DEV_SUCCESS));
  EXPECT_TRUE(manager.writeResults());
  EXPECT_EQ(manager.resultCode, DEV_ERR_CANCELLED);
}

TEST(CaptureThread, RunsTheFrameLoopOnceAndReportsItsEnd) {
  FakeManager manager;
  manager.loopMs = 200;
  CaptureThread capture(&manager);
  ASSERT_TRUE(capture.start());
  EXPECT_TRUE(capture.isRunning());  // set before start returns, so an abort right away sees it
  ASSERT_TRUE(capture.waitEnded(10000));
  EXPECT_FALSE(capture.isRunning());
  EXPECT_EQ(manager.loops, 1);
}

TEST(WorkerThreads, WithoutAManagerTheyEndAtOnce) {
  CaptureThread capture(nullptr);
  TimeoutThread timeout(nullptr, 60000, 250);
  ASSERT_TRUE(capture.start());
  ASSERT_TRUE(timeout.start());
  EXPECT_TRUE(capture.waitEnded(10000));
  EXPECT_TRUE(timeout.waitEnded(10000));
}

// init starts the capture thread, which draws into the picture and the title: both must exist then.
class ControlsAtInit : public FakeManager {
 public:
  bool init() override {
    sawControls = window && window->picture.handle() && window->titleLabel.handle();
    return true;
  }
  bool sawControls = false;
};

TEST(FingerprintWindowStart, ControlsExistBeforeTheDeviceStartsItsThreads) {
  ControlsAtInit manager;
  FingerprintWindow window(GetModuleHandleW(nullptr), nullptr);
  window.attach(&manager);
  ASSERT_TRUE(window.create(L"velmar worker test"));
  EXPECT_TRUE(manager.sawControls);
}

}  // namespace
}  // namespace one
