#include "sem_helper.h"

#include <climits>

#include "win/last_error.h"

namespace velmar::log4z {

SemHelper::SemHelper() : semaphore_(CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr)) {
  if (!semaphore_) win::throwLastError("CreateSemaphore");
}

bool SemHelper::post() noexcept { return ReleaseSemaphore(semaphore_.get(), 1, nullptr) != FALSE; }

bool SemHelper::wait(DWORD milliseconds) noexcept {
  return WaitForSingleObject(semaphore_.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace velmar::log4z
