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

void PipeProgress::markFinished() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    created_ = true;
    finished.store(true);
  }
  changed_.notify_all();
}

bool PipeProgress::waitFinished(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_until(hold, deadline, [this] { return finished.load(); });
}

namespace {

void failed(const std::string& text, std::vector<std::uint8_t>& bytes, PipeProgress* progress) noexcept {
  try {
    bytes.assign(1, static_cast<std::uint8_t>(DEV_ERR_INTERNAL_APP));
    if (progress != nullptr) progress->arrived.store(bytes.size());
    hostLog(LOG_ERROR, "Error in child: " + text);
  } catch (...) {
  }
}

}  // namespace

void readCreatedPipe(PipeReader& pipeReader, std::vector<std::uint8_t>& bytes, PipeProgress* progress,
                     const PipeReader::ClientFilter& accept) noexcept {
  velmar::win::ScopeExit signalEnd([progress] {
    if (progress != nullptr) progress->markFinished();
  });
  try {
    if (!pipeReader.waitForClient(accept)) {
      bytes.clear();
      hostLog(LOG_TRACE, "pipe " + pipeReader.name() + " released without a client");
      return;
    }
    if (progress != nullptr) progress->connected.store(true);
    hostLog(LOG_TRACE, "pipe " + pipeReader.name() + " connected");
    hostLog(LOG_TRACE, "pipe " + pipeReader.name() + " reading...");
    pipeReader.read(bytes, progress != nullptr ? &progress->arrived : nullptr,
                    progress != nullptr ? &progress->firstByteAt : nullptr);
    pipeReader.close();
    hostLog(LOG_TRACE, "pipe " + pipeReader.name() + " closed");
  } catch (const PipeAbandoned&) {
    // The owner gave up on this pipe and says why; what arrived is no stream.
    bytes.clear();
    hostLog(LOG_DEBUG, "pipe " + pipeReader.name() + " abandoned");
  } catch (const std::exception& e) {
    failed(e.what(), bytes, progress);
  }
}

void readPipe(std::string name, std::vector<std::uint8_t>& bytes, PipeProgress* progress,
              const PipeReader::ClientFilter& accept) {
  PipeReader pipeReader(name);
  try {
    pipeReader.create();
  } catch (const std::exception& e) {
    failed(e.what(), bytes, progress);
    if (progress != nullptr) progress->markFinished();  // also when creation failed: nobody waits in vain
    return;
  }
  if (progress != nullptr) progress->markCreated();
  readCreatedPipe(pipeReader, bytes, progress, accept);
}
