// log_console_win.h: console output of the logger: lines in their level's colour and the logger's
// own notices in the colour of LOG_FATAL, each under the console lock so colours never mix.
// Windows only; any thread.
#pragma once

#include <string_view>

#include "lock_helper.h"

namespace velmar::log4z {

class LogConsole {
 public:
  // Prints a line; levels with a colour are printed in it and the previous colour is restored.
  void printLine(std::string_view text, int level);
  // Prints one of the logger's own texts (they end in " \r\n") in the colour of LOG_FATAL.
  void printNotice(std::string_view text);

 private:
  LockHelper lock_;  // the console lock
};

}  // namespace velmar::log4z
