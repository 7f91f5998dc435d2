// window.cpp: class registration, creation and message dispatch of win_ui::Window.
#include "window.h"

#include <cwchar>

namespace win_ui {

void showError(HWND owner, const wchar_t* format, DWORD error, const wchar_t* className) {
  wchar_t text[512];
  std::swprintf(text, 512, format, static_cast<int>(error), className);
  MessageBoxW(owner, text, L"", MB_OK);
}

Window::Window(HINSTANCE instance_, const wchar_t* name) : instance(instance_) {
  std::wcsncpy(className, name, 255);
  className[255] = L'\0';
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = windowProc;
  wc.cbWndExtra = 4;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  registered = RegisterClassExW(&wc) != 0;
  if (!registered) showError(nullptr, L"error register %d (%ls)", GetLastError(), className);
}

Window::~Window() {
  if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
  if (registered) UnregisterClassW(className, instance);
}

void Window::onClose() {
  PostQuitMessage(0);
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void Window::onSize(int, int, int) {}
bool Window::onCreate() { return true; }
void Window::onKeyDown(int) {}
void Window::onCommand(WPARAM, LPARAM) {}

bool Window::create(const wchar_t* title) {
  designWidth = 512;
  designHeight = 512;
  HWND created = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME,
                                 className, title, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, CW_USEDEFAULT,
                                 CW_USEDEFAULT, designWidth, designHeight, nullptr, nullptr, instance, this);
  if (!created) {
    showError(nullptr, L"error create %d (%ls)", GetLastError(), className);
    return false;
  }
  hwnd = created;
  RECT r;
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  MoveWindow(hwnd, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, TRUE);
  return true;
}

void Window::dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      if (onCreate()) {
        ShowWindow(window, SW_SHOWNORMAL);
      } else {
        // Still inside creation: the window is not the object's yet, so what onClose posts reaches
        // no window and the failed window is never shown.
        hwnd = nullptr;
        onClose();
      }
      break;
    case WM_SIZE:
      onSize(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_CLOSE:
      onClose();
      break;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = designWidth / 2;
      info->ptMinTrackSize.y = designHeight / 2;
      info->ptMaxTrackSize.x = 2 * designWidth;
      info->ptMaxTrackSize.y = 2 * designHeight;
      break;
    }
    case WM_KEYDOWN:
      onKeyDown(static_cast<int>(wParam));
      break;
    case WM_COMMAND:
      onCommand(wParam, lParam);
      break;
    default:
      break;
  }
}

LRESULT CALLBACK Window::windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd = window;  // children are created from onCreate and need their parent
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && msg != WM_NCCREATE) {
    try {
      self->dispatch(window, msg, wParam, lParam);
    } catch (...) {
      // Nothing may unwind through the system's dispatcher; the default handling still runs.
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace win_ui
