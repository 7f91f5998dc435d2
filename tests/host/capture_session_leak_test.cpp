// No handle or thread of a capture outlives the call: counts before and after 100 captures that end in
// every way the session knows. Its own program, since 100 child processes take a while under Wine.
#include <windows.h>

#include "process_counts_win.h"
#include "session_fixture.h"

namespace {

using namespace session_test;
using velmar::testing::probeOpenHandles;
using velmar::testing::threadCount;

class CaptureSession : public testing::Test {
 protected:
  void TearDown() override { setEnv(L"VELMAR_FAKE_CAPTURE", L""); }
};

TEST_F(CaptureSession, NoHandleOrThreadOutlivesTheCall) {
  // Every kind of ending: data, one byte, nothing, a connection without data, and a child that cannot be
  // created. (A crashing child looks like "exit=0" to the host and takes seconds under Wine.)
  const char* scripts[] = {"wsq=gen:3000:1 bmp=gen:3000:2", "wsq=byte:208 bmp=byte:208", "exit=0",
                           "wsq=gen:2:1 bmp=none", "wsq=empty bmp=empty"};
  auto once = [&](int i) {
    biodeviceOutput out;
    if (i % 10 == 9) {
      biodevice missing;
      missing.command = "C:\\no\\such.exe";
      capture(missing, input(), out);
    } else {
      setEnv(L"VELMAR_FAKE_CAPTURE", widen(scripts[i % 5]));
      capture(fakeDevice(), input(), out);
    }
  };
  for (int i = 0; i < 10; ++i) once(i);  // warm-up: lazily created system objects
  const DWORD handlesBefore = probeOpenHandles();
  const DWORD threadsBefore = threadCount();
  for (int i = 0; i < 100; ++i) once(i);
  // A leak in the session repeats with the kind of capture that causes it: 100 captures (each
  // kind at least 10 times) would leave at least 10 behind. Under load the runtime may start one
  // worker thread of its own (with its handle) that outlives the loop, so one or two extra are allowed.
  const DWORD handlesAfter = probeOpenHandles();
  const DWORD threadsAfter = threadCount();
  EXPECT_LE(handlesAfter, handlesBefore + 2) << "before " << handlesBefore;
  EXPECT_LE(threadsAfter, threadsBefore + 1) << "before " << threadsBefore;
}

}  // namespace
