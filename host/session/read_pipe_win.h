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
  // A client has opened the pipe (set before any byte is read).
  std::atomic<bool> connected{false};
  // The reader has returned (pipe closed or failed).
  std::atomic<bool> finished{false};
  // The session is opening the pipe itself to end the wait (its own connect is then accepted).
  std::atomic<bool> releasing{false};

  // Set once the pipe exists or its creation has failed: a client may connect from then on.
  void markCreated();
  bool waitCreated(std::chrono::milliseconds limit);

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
