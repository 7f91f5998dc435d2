#include "host_log_route.h"

#include <string>

#include "host_log.h"
#include "log4z_write.h"

bool routeHostLogToLog4z() noexcept {
  const bool started = velmar::log4z::startHostLog();
  try {
    // The host's levels LOG_TRACE..LOG_FATAL carry the same values 0..6 as log4z's.
    setHostLogSink([](int level, const std::string& text) { velmar::log4z::log4zWrite(level, text); });
  } catch (...) {
    // Only a failed allocation of the sink can land here; the host log then drops its lines.
  }
  return started;
}
