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

// A thread that was joined can stay listed, with its handle, for a moment while the system finishes
// it; a leaked one never goes. Reads the count until it is back at `want`, for at most ten seconds.
DWORD settled(DWORD (*count)(), DWORD want) {
  DWORD now = count();
  for (int i = 0; i < 200 && now != want; ++i) {
    Sleep(50);
    now = count();
  }
  return now;
}

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
  EXPECT_EQ(settled(probeOpenHandles, handlesBefore), handlesBefore);
  EXPECT_EQ(settled(threadCount, threadsBefore), threadsBefore);
}

}  // namespace
