#include "thread_helper.h"

#include <process.h>

namespace velmar::log4z {

bool ThreadHelper::create() noexcept {
  if (thread_) return false;
  // _beginthreadex rather than CreateThread: the thread uses the C runtime (files, console).
  const uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadHelper::entry, this, 0, nullptr);
  if (handle == 0) return false;
  thread_.reset(reinterpret_cast<HANDLE>(handle));
  return true;
}

bool ThreadHelper::waitFor(DWORD milliseconds) noexcept {
  if (!thread_) return true;
  if (WaitForSingleObject(thread_.get(), milliseconds) != WAIT_OBJECT_0) return false;
  thread_.reset();
  return true;
}

unsigned __stdcall ThreadHelper::entry(void* self) noexcept {
  static_cast<ThreadHelper*>(self)->run();
  return 0;
}

}  // namespace velmar::log4z
