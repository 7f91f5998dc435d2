// pipe_probe_win.cpp: the reader runs on its own thread, as in a capture session; this thread plays the
// capture application's part as a client. Shared state lives on the heap so that a reader that never
// returns can be left behind without touching freed memory.
#include "pipe_probe_win.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "api_failure.h"
#include "pipe_reader_win.h"
#include "random_string.h"
#include "win/unique_handle.h"

namespace {

constexpr std::size_t kRoundTripBytes = 64 * 1024;
constexpr DWORD kClientPiece = 4096;  // the piece size capture-a writes
constexpr auto kCreateLimit = std::chrono::seconds(5);
constexpr auto kReadLimit = std::chrono::seconds(10);

struct ReaderState {
  std::mutex lock;
  std::condition_variable changed;
  bool created = false;
  bool done = false;
  DWORD threadId = 0;
  std::string error;
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> pattern() {
  std::vector<std::uint8_t> bytes(kRoundTripBytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
  return bytes;
}

void runReader(const std::shared_ptr<ReaderState>& state, const std::string& name) {
  {
    std::lock_guard<std::mutex> g(state->lock);
    state->threadId = GetCurrentThreadId();
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  try {
    PipeReader reader(name);
    reader.create();
    {
      std::lock_guard<std::mutex> g(state->lock);
      state->created = true;
    }
    state->changed.notify_all();
    reader.waitForClient();
    reader.read(bytes);
    reader.close();
  } catch (const std::exception& e) {
    error = e.what();
  }
  std::lock_guard<std::mutex> g(state->lock);
  state->bytes = std::move(bytes);
  state->error = std::move(error);
  state->done = true;
  state->changed.notify_all();
}

// Writes the whole payload as a capture application does: open, pieces, flush, close.
std::string writeClient(const std::string& name, const std::vector<std::uint8_t>& payload) {
  const std::wstring wide(name.begin(), name.end());  // the name is ASCII
  velmar::win::UniqueHandle pipe(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!pipe) return velmar::apiFailure("CreateFile (Pipe)", GetLastError());
  for (std::size_t done = 0; done < payload.size();) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(kClientPiece, payload.size() - done));
    DWORD written = 0;
    if (!WriteFile(pipe.get(), payload.data() + done, piece, &written, nullptr)) {
      return velmar::apiFailure("WriteFile", GetLastError());
    }
    done += written;
  }
  if (!FlushFileBuffers(pipe.get())) return velmar::apiFailure("FlushFileBuffers", GetLastError());
  return {};
}

// A reader still blocked in a pipe call is woken by cancelling its I/O.
void cancelReader(ReaderState& state) {
  velmar::win::UniqueHandle thread(OpenThread(THREAD_TERMINATE, FALSE, state.threadId));
  if (thread) CancelSynchronousIo(thread.get());
}

}  // namespace

PipeFacts probePipes() {
  PipeFacts facts;
  const std::vector<std::uint8_t> payload = pattern();
  std::string name;
  try {
    name = "\\\\.\\pipe\\velmar-diagnose-" + randomString(16, "abcdefghijklmnopqrstuvwxyz0123456789");
  } catch (const std::exception& e) {
    facts.error = e.what();
    return facts;
  }

  const auto start = std::chrono::steady_clock::now();
  auto state = std::make_shared<ReaderState>();
  std::thread reader(runReader, state, name);

  std::unique_lock<std::mutex> g(state->lock);
  if (!state->changed.wait_for(g, kCreateLimit, [&] { return state->created || state->done; })) {
    facts.error = "the pipe was not created in time";
  } else if (state->done) {
    facts.error = state->error;
  } else {
    g.unlock();
    const std::string clientError = writeClient(name, payload);
    g.lock();
    if (!clientError.empty()) {
      facts.error = clientError;
      cancelReader(*state);
    }
    if (!state->changed.wait_for(g, kReadLimit, [&] { return state->done; })) {
      if (facts.error.empty()) facts.error = "the pipe was not read back in time";
      cancelReader(*state);
    } else if (facts.error.empty() && !state->error.empty()) {
      facts.error = state->error;
    }
  }
  const bool finished = state->done;
  facts.bytes = state->bytes.size();
  facts.ok = finished && facts.error.empty() && state->bytes == payload;
  if (finished && facts.error.empty() && !facts.ok) {
    facts.error = std::to_string(facts.bytes) + " of " + std::to_string(payload.size()) + " bytes read back intact";
  }
  g.unlock();
  facts.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (finished) {
    reader.join();
  } else {
    reader.detach();  // blocked in the system; it owns its state through the shared pointer
  }
  return facts;
}
