// thread_helper.h: ThreadHelper, one thread that runs the virtual run() of its owner. Windows only.
// create(), wait() and waitFor() are called by one controlling thread at a time (the owner locks).
#pragma once

#include <windows.h>

#include "win/unique_handle.h"

namespace velmar::log4z {

class ThreadHelper {
 public:
  ThreadHelper() = default;
  ThreadHelper(const ThreadHelper&) = delete;
  ThreadHelper& operator=(const ThreadHelper&) = delete;
  // The owner must have waited for run() to end: a derived object cannot run once destroyed.
  virtual ~ThreadHelper() = default;

  // Starts run() on a new thread; false when a thread was created and not yet waited for, or when
  // the system cannot create one.
  bool create() noexcept;
  // True between a successful create() and the wait that saw the thread end.
  bool isCreated() const noexcept { return static_cast<bool>(thread_); }
  // Waits up to `milliseconds` for run() to return; on success the thread is released.
  bool waitFor(DWORD milliseconds) noexcept;

 protected:
  virtual void run() = 0;

 private:
  static unsigned __stdcall entry(void* self) noexcept;

  win::UniqueHandle thread_;
};

}  // namespace velmar::log4z
