// thread.cpp: starting Util::Thread objects on C-runtime threads.
#include "thread.h"

#include <windows.h>

#include <process.h>

namespace Util {

Thread::~Thread() = default;

bool Thread::start() {
  // `running` is set before the thread exists so that an abort right after start sees it.
  running = true;
  const std::uintptr_t h = _beginthreadex(nullptr, 0, &Thread::entry, this, 0, nullptr);
  if (h == 0) {
    running = false;
    return false;
  }
  handle.reset(reinterpret_cast<HANDLE>(h));
  return true;
}

bool Thread::waitEnded(unsigned long ms) const {
  if (!handle) return true;
  return WaitForSingleObject(handle.get(), ms) == WAIT_OBJECT_0;
}

unsigned __stdcall Thread::entry(void* object) {
  auto* self = static_cast<Thread*>(object);
  if (self) {
    self->running = true;
    try {
      self->run();
    } catch (...) {
      // Nothing may unwind out of a thread; the run simply ends.
    }
    self->running = false;
  }
  return 0;
}

}  // namespace Util
