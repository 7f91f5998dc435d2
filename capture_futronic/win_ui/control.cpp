// control.cpp: class registration, creation and message dispatch of win_ui::Control.
#include "control.h"

#include <cwchar>

#include "window.h"

namespace win_ui {

Control::Control(HINSTANCE instance_, const wchar_t* name) : instance(instance_) {
  std::wcsncpy(className, name, 255);
  className[255] = L'\0';
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  wc.lpfnWndProc = controlProc;
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
  wc.lpszClassName = className;
  if (RegisterClassExW(&wc)) {
    registeredHere = true;
  } else if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    showError(nullptr, L"error register %d (%ls)", GetLastError(), className);
  }
}

Control::~Control() {
  if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
  if (registeredHere) UnregisterClassW(className, instance);
}

void Control::onPaint() {
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
}

void Control::onCommand(WPARAM, LPARAM) {}

bool Control::create(HWND parent, int id) {
  HWND created = CreateWindowExW(WS_EX_WINDOWEDGE, className, L"", WS_CHILD | WS_VISIBLE | 0x100, 0, 0, 0, 0,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  if (!created) {
    showError(nullptr, L"error create %d (%ls)", GetLastError(), className);
    return false;
  }
  hwnd = created;
  return true;
}

LRESULT CALLBACK Control::controlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd = window;
  }
  auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) {
    try {
      if (msg == WM_PAINT) {
        self->onPaint();
        return 0;
      }
      if (msg == WM_COMMAND) {
        self->onCommand(wParam, lParam);
        return 0;
      }
    } catch (...) {
      return 0;  // nothing may unwind through the system's dispatcher
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace win_ui
