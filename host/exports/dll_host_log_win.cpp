#include "dll_host_log_win.h"

#include <mutex>

#include "host_log_route.h"
#include "log4z_write.h"

namespace {

std::mutex& usersLock() {
  static std::mutex lock;
  return lock;
}
int users = 0;  // guarded by usersLock()

}  // namespace

DllHostLogScope::DllHostLogScope() noexcept {
  std::lock_guard<std::mutex> hold(usersLock());
  if (users++ == 0) routeHostLogToLog4z();
}

DllHostLogScope::~DllHostLogScope() {
  std::lock_guard<std::mutex> hold(usersLock());
  if (--users == 0) velmar::log4z::stopHostLog();
}
