// last_error.h: turns the calling thread's last Win32 error into the run-time error text, in one place.
#pragma once

#include <windows.h>

#include "api_failure.h"

namespace velmar::win {

// Throws ApiError("<api> failed with <GetLastError()>").
[[noreturn]] inline void throwLastError(const char* api) {
  const DWORD code = GetLastError();
  throw ApiError(api, code);
}

}  // namespace velmar::win
