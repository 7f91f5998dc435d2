// lock_helper.h: LockHelper, a critical section, and its scoped guard. Windows only.
#pragma once

#include <windows.h>

namespace velmar::log4z {

class LockHelper {
 public:
  LockHelper() noexcept { InitializeCriticalSection(&section_); }
  ~LockHelper() { DeleteCriticalSection(&section_); }
  LockHelper(const LockHelper&) = delete;
  LockHelper& operator=(const LockHelper&) = delete;

  void lock() noexcept { EnterCriticalSection(&section_); }
  void unlock() noexcept { LeaveCriticalSection(&section_); }

  class Guard {
   public:
    explicit Guard(LockHelper& lock) noexcept : lock_(lock) { lock_.lock(); }
    ~Guard() { lock_.unlock(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    LockHelper& lock_;
  };

 private:
  CRITICAL_SECTION section_;
};

}  // namespace velmar::log4z
