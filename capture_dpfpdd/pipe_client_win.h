// pipe_client_win.h: PipeClient, velmar-capture-b's client end of one of the host's pipes: connect,
// write the stream, close (the close is the end of the stream for the host). A client belongs to the
// one thread that uses it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "win/unique_handle.h"

namespace capture_b {

class PipeClient {
 public:
  explicit PipeClient(const std::wstring& name);
  PipeClient(const PipeClient&) = delete;
  PipeClient& operator=(const PipeClient&) = delete;
  ~PipeClient() { close(); }

  // Up to three attempts; waits (system default) only while the pipe is busy. A missing pipe fails
  // without a log line; other failures are logged.
  bool connect();
  // Writes in pieces of at most 1024 bytes, then flushes. False (and nothing written) when not
  // connected.
  bool write(const void* bytes, size_t count);
  void close();
  bool connected() const { return connected_; }

 private:
  velmar::win::UniqueHandle handle_;
  std::wstring name_;  // at most 255 characters
  bool connected_ = false;
};

// The one-byte error result: a fresh client for the WSQ pipe, one byte with the low 8 bits of the code.
void sendErrorResult(const std::wstring& wsqPipeName, int32_t code);

}  // namespace capture_b
