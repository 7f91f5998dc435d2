#include "read_pipe_win.h"

#include <stdexcept>

#include "host_log.h"
#include "result_codes.h"
#include "win/unique_handle.h"

void PipeProgress::markCreated() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    created_ = true;
  }
  changed_.notify_all();
}

bool PipeProgress::waitCreated(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, limit, [this] { return created_; });
}

void readPipe(std::string name, std::vector<std::uint8_t>& bytes, PipeProgress* progress,
              const PipeReader::ClientFilter& accept) {
  velmar::win::ScopeExit signalEnd([progress] {
    if (progress != nullptr) {
      progress->markCreated();  // also when creation itself failed: nobody waits in vain
      progress->finished.store(true);
    }
  });
  try {
    PipeReader pipeReader(name);
    pipeReader.create();
    if (progress != nullptr) progress->markCreated();
    pipeReader.waitForClient(accept);
    if (progress != nullptr) progress->connected.store(true);
    hostLog(LOG_TRACE, "pipe " + name + " connected");
    hostLog(LOG_TRACE, "pipe " + name + " reading...");
    pipeReader.read(bytes, progress != nullptr ? &progress->arrived : nullptr);
    pipeReader.close();
    hostLog(LOG_TRACE, "pipe " + name + " closed");
  } catch (const std::exception& e) {
    bytes.assign(1, static_cast<std::uint8_t>(DEV_ERR_INTERNAL_APP));
    if (progress != nullptr) progress->arrived.store(bytes.size());
    hostLog(LOG_ERROR, std::string("Error in child: ") + e.what());
  }
}
