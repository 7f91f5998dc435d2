// message_loop.h: the window thread's message loop.
#pragma once

namespace win_ui {

// Gets messages for every window of the thread until the quit message, translating and dispatching
// each; a failed get is skipped. Returns the quit message's code.
int runMessageLoop();

}  // namespace win_ui
