// read_pipe_win.h: the body of a capture's reader threads: one pipe, one byte vector, and the signals
// the session thread reads while the reader runs (all atomic or locked).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pipe_reader_win.h"

class PipeProgress {
 public:
  // Bytes collected so far; non-zero also once a failed reader has put its result byte.
  std::atomic<std::size_t> arrived{0};
  // The steady clock's count when the first byte arrived; 0 before.
  std::atomic<std::int64_t> firstByteAt{0};
  // A client has opened the pipe (set before any byte is read).
  std::atomic<bool> connected{false};
  // The reader has returned (pipe closed, released or failed).
  std::atomic<bool> finished{false};

  // Set once the pipe exists or its creation has failed: a client may connect from then on.
  void markCreated();
  bool waitCreated(std::chrono::milliseconds limit);
  // Sets finished and wakes waitFinished.
  void markFinished();
  bool waitFinished(std::chrono::steady_clock::time_point deadline);

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool created_ = false;
};

// Creates the pipe, waits for its client, reads the stream into bytes and closes the pipe. Any
// run-time error leaves bytes as the single byte 211 and is logged; the function itself never throws.
// With a filter, only a client it accepts is read (see PipeReader::waitForClient).
void readPipe(std::string name, std::vector<std::uint8_t>& bytes, PipeProgress* progress = nullptr,
              const PipeReader::ClientFilter& accept = nullptr);

// The same for a pipe already created: waits for its client and reads. A wait the release event ended,
// or the abandon event ended (the owner gave up on the pipe), leaves bytes empty.
void readCreatedPipe(PipeReader& pipeReader, std::vector<std::uint8_t>& bytes, PipeProgress* progress = nullptr,
                     const PipeReader::ClientFilter& accept = nullptr) noexcept;
