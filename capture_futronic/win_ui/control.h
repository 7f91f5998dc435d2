// control.h: win_ui::Control, a child window that paints itself. Window thread only.
#pragma once

#include <windows.h>

namespace win_ui {

class Control {
 public:
  // Registers the global class `className` (an existing class counts as registered); any other
  // failure shows "error register %d (%s)".
  Control(HINSTANCE instance, const wchar_t* className);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual void onPaint();
  virtual void onCommand(WPARAM wParam, LPARAM lParam);

  // Creates the control as a visible child of `parent` with identifier `id`, at size 0 × 0; a failure
  // shows "error create %d (%s)".
  bool create(HWND parent, int id);

  HWND handle() const { return hwnd; }

 protected:
  wchar_t className[256];
  HWND hwnd = nullptr;
  HINSTANCE instance;

 private:
  static LRESULT CALLBACK controlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  bool registeredHere = false;
};

}  // namespace win_ui
