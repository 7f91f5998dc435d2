// unique_handle.h: one owner template for every Win32 handle type, and a scope guard for one-off undo.
// Closing keeps the thread's last-error value, so a failure can be read after its owner is gone.
#pragma once

#include <windows.h>

#include <utility>

namespace velmar::win {

template <class T, auto Close>
class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(T h) noexcept : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(o.release()) {}
  Unique& operator=(Unique&& o) noexcept {
    reset(o.release());
    return *this;
  }
  ~Unique() { reset(); }

  // NULL and INVALID_HANDLE_VALUE both mean "no handle".
  explicit operator bool() const noexcept { return valid(h_); }
  T get() const noexcept { return h_; }
  [[nodiscard]] T release() noexcept { return std::exchange(h_, T{}); }
  void reset(T h = T{}) noexcept {
    if (valid(h_)) {
      const DWORD e = GetLastError();
      Close(h_);
      SetLastError(e);
    }
    h_ = h;
  }
  // For out-parameters: releases the current handle first.
  T* put() noexcept {
    reset();
    return &h_;
  }

 private:
  static bool valid(T h) noexcept {
    return h && reinterpret_cast<void*>(h) != reinterpret_cast<void*>(INVALID_HANDLE_VALUE);
  }
  T h_{};
};

using UniqueHandle = Unique<HANDLE, &CloseHandle>;
using UniqueKey = Unique<HKEY, &RegCloseKey>;
using UniqueModule = Unique<HMODULE, &FreeLibrary>;
using UniqueGdiObject = Unique<HGDIOBJ, &DeleteObject>;
using UniqueBitmap = Unique<HBITMAP, &DeleteObject>;
using UniqueDC = Unique<HDC, &DeleteDC>;
using UniqueGlobal = Unique<HGLOBAL, &GlobalFree>;

// Runs f when the scope ends unless release() was called (the success path keeps the effect).
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() {
    if (armed_) f_();
  }
  void release() noexcept { armed_ = false; }

 private:
  F f_;
  bool armed_ = true;
};

}  // namespace velmar::win
