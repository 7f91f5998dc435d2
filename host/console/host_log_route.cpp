#include "host_log_route.h"

#include <string>

#include "host_log.h"
#include "host_log_folder_win.h"
#include "log4z_write.h"
#include "win/utf8_wide.h"

bool routeHostLogToLog4z() noexcept {
  bool started = false;
  try {
    std::string folder = velmar::win::utf8FromWide(hostLogFolder());
    // Without a local application-data folder (no profile), beside the working directory as before.
    if (folder.empty()) folder = "./log-device-velmar";
    started = velmar::log4z::startHostLog(folder);
    // The host's levels LOG_TRACE..LOG_FATAL carry the same values 0..6 as log4z's.
    setHostLogSink([](int level, const std::string& text) { velmar::log4z::log4zWrite(level, text); });
  } catch (...) {
    // Only a failed allocation can land here; the host log then drops its lines.
  }
  return started;
}
