// thread.h: Util::Thread, a C-runtime thread that runs an object's run() once. Threads are never
// joined by the program's logic; `running` tells others whether run() is still going.
#pragma once

#include <atomic>
#include <cstdint>

#include "win/unique_handle.h"

namespace Util {

class Thread {
 public:
  Thread() = default;
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts a new thread on run(); false (and `running` left false) if it could not be started.
  bool start();
  bool isRunning() const { return running; }
  // Waits up to `ms` for a started thread to end; true when it has ended (or never started).
  bool waitEnded(unsigned long ms) const;

 protected:
  virtual void run() = 0;

 private:
  static unsigned __stdcall entry(void* object);
  velmar::win::UniqueHandle handle;
  std::atomic<bool> running{false};
};

}  // namespace Util
