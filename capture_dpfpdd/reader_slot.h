// reader_slot.h: the open reader's handle, shared by the dialog's thread (cancel, close), the timeout
// watch (cancel) and the arming of the capture. Closing clears it under the same lock that every use
// takes, so a cancel that comes after the close (the timeout watch runs on after the dialog has closed
// the reader) never reaches the closed handle. Portable.
#pragma once

#include <mutex>

namespace capture_b {

template <class Handle>
class ReaderSlot {
 public:
  void set(Handle handle) {
    std::lock_guard<std::mutex> hold(lock_);
    handle_ = handle;
  }
  bool empty() {
    std::lock_guard<std::mutex> hold(lock_);
    return !handle_;
  }
  // Calls use(handle) while the reader is open; returns false (and calls nothing) once it is closed.
  template <class Use>
  bool use(Use use) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!handle_) return false;
    use(handle_);
    return true;
  }
  // Calls close(handle) when a reader is open; on success (close returns 0) the handle is cleared.
  // Returns close's result, or 0 when nothing was open.
  template <class Close>
  int close(Close close) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!handle_) return 0;
    const int r = close(handle_);
    if (r == 0) handle_ = Handle{};
    return r;
  }

 private:
  std::mutex lock_;
  Handle handle_{};
};

}  // namespace capture_b
