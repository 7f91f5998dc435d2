// host_log.cpp: the in-process sink behind hostLog; one lock serialises lines from all threads.
#include "host_log.h"

#include <mutex>
#include <utility>

namespace {

std::mutex& sinkLock() {
  static std::mutex lock;
  return lock;
}

HostLogSink& currentSink() {
  static HostLogSink sink;
  return sink;
}

}  // namespace

void hostLog(int level, const std::string& text) noexcept {
  try {
    std::lock_guard<std::mutex> hold(sinkLock());
    if (currentSink()) currentSink()(level, text);
  } catch (...) {
    // Logging never fails its caller.
  }
}

HostLogSink setHostLogSink(HostLogSink sink) {
  std::lock_guard<std::mutex> hold(sinkLock());
  return std::exchange(currentSink(), std::move(sink));
}
