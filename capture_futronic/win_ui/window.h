// window.h: win_ui::Window, a top-level window whose messages become virtual calls. Window thread only.
#pragma once

#include <windows.h>

namespace win_ui {

class Window {
 public:
  // Registers the window class `className` (at most 255 characters); a failure shows
  // "error register %d (%s)". The destructor unregisters it.
  Window(HINSTANCE instance, const wchar_t* className);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The base posts the thread's quit message and then a close message to its own window.
  virtual void onClose();
  virtual void onSize(int type, int width, int height);
  virtual bool onCreate();
  virtual void onKeyDown(int key);
  virtual void onCommand(WPARAM wParam, LPARAM lParam);

  // Creates the top-level window (512 × 512, centred on the desktop); false if creation failed, after
  // the message box "error create %d (%s)".
  bool create(const wchar_t* title);

  HWND handle() const { return hwnd; }
  HINSTANCE moduleInstance() const { return instance; }
  const wchar_t* name() const { return className; }

 protected:
  wchar_t className[256];
  HWND hwnd = nullptr;
  HINSTANCE instance;
  int designWidth = 512;
  int designHeight = 512;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  bool registered = false;
};

// Shows the framework's error box: the formatted text, an empty caption.
void showError(HWND owner, const wchar_t* format, DWORD error, const wchar_t* className);

}  // namespace win_ui
