// message_loop.cpp: the window thread's message loop.
#include "message_loop.h"

#include <windows.h>

namespace win_ui {

int runMessageLoop() {
  MSG msg;
  while (true) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) break;     // WM_QUIT
    if (got == -1) continue; // a failed get is skipped
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace win_ui
