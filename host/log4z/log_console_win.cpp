#include "log_console_win.h"

#include <windows.h>

#include <cstdio>

#include "log_levels.h"

namespace velmar::log4z {
namespace {

// Standard output is in text mode, which turns "\n" into "\r\n": the texts' own CR LF endings are
// written as "\n" so the console gets one CR LF, not CR CR LF.
void writeOut(std::string_view text) {
  std::size_t from = 0;
  for (std::size_t crlf = text.find("\r\n"); crlf != std::string_view::npos;
       crlf = text.find("\r\n", from)) {
    std::fwrite(text.data() + from, 1, crlf - from, stdout);
    std::fputc('\n', stdout);
    from = crlf + 2;
  }
  std::fwrite(text.data() + from, 1, text.size() - from, stdout);
  std::fflush(stdout);
}

void writeInColour(std::string_view text, int colour) {
  if (colour < 0) {
    writeOut(text);
    return;
  }
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  // Without a console (output redirected) there is no colour to set or restore.
  const bool console = out != nullptr && out != INVALID_HANDLE_VALUE &&
                       GetConsoleScreenBufferInfo(out, &info) != FALSE;
  if (console) SetConsoleTextAttribute(out, static_cast<WORD>(colour));
  writeOut(text);
  if (console) SetConsoleTextAttribute(out, info.wAttributes);
}

}  // namespace

void LogConsole::printLine(std::string_view text, int level) {
  const int colour = levelColour(level);
  if (colour < 0) {
    writeOut(text);
    return;
  }
  LockHelper::Guard guard(lock_);
  writeInColour(text, colour);
}

void LogConsole::printNotice(std::string_view text) {
  LockHelper::Guard guard(lock_);
  writeInColour(text, levelColour(LOG_FATAL));
}

}  // namespace velmar::log4z
