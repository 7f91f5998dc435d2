// process_instance.cpp: the named single-instance mutex.
#include "process_instance.h"

#include <windows.h>

namespace Util::Process {

bool Instance::alreadyRunning() {
  handle.reset(CreateMutexW(nullptr, TRUE, name.c_str()));
  return handle && GetLastError() == ERROR_ALREADY_EXISTS;
}

void Instance::release() {
  if (!handle) return;
  ReleaseMutex(handle.get());  // fails harmlessly when another process owns it
  handle.reset();
}

}  // namespace Util::Process
