// sem_helper.h: SemHelper, a counting semaphore that starts at 0. Windows only.
#pragma once

#include <windows.h>

#include "win/unique_handle.h"

namespace velmar::log4z {

class SemHelper {
 public:
  SemHelper();  // throws ApiError("CreateSemaphore failed with N")
  // Adds one to the count.
  bool post() noexcept;
  // Takes one from the count, waiting up to `milliseconds`; false on time-out or failure.
  bool wait(DWORD milliseconds) noexcept;

 private:
  win::UniqueHandle semaphore_;
};

}  // namespace velmar::log4z
