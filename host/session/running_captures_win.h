// running_captures_win.h: the capture applications running for captures of this process, and ending
// them the way a person does. A session registers its child once it runs and unregisters it before it
// forgets the child's process id. Any thread.
#pragma once

#include <windows.h>

// Posts WM_CLOSE to the visible top-level windows of every registered capture application, which
// then ends its capture itself with 208, as when a person closes its window. Returns how many
// captures it reached (a capture application with no window shown yet is not counted). Any thread.
int cancelRunningCaptures();

// Registers a capture application's process id for as long as it lives; the session's thread only.
class RunningCapture {
 public:
  explicit RunningCapture(DWORD processId);
  RunningCapture(const RunningCapture&) = delete;
  RunningCapture& operator=(const RunningCapture&) = delete;
  ~RunningCapture() { end(); }

  // Unregisters it; called before the session forgets the id. Later calls do nothing.
  void end() noexcept;

 private:
  DWORD processId_;
};
