// pipe_reader_win.h: the host's server end of one result pipe. It creates the pipe (one instance,
// inbound only), waits for the capture application to connect, and reads the stream until the writer
// closes it. One reader thread owns one PipeReader.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "win/unique_handle.h"

class PipeReader {
 public:
  explicit PipeReader(std::string name);

  // create() then waitForClient().
  void connect();
  // Creates the pipe; "CreateNamedPipe failed with N" when the name is taken or invalid.
  void create();
  // Blocks until a client has opened the pipe (or already had: opened, or opened and closed again).
  void waitForClient();
  // Reads the whole stream into bytes; arrived, when given, follows the byte count as data comes in so
  // another thread can see whether anything arrived without touching bytes.
  void read(std::vector<std::uint8_t>& bytes, std::atomic<std::size_t>* arrived = nullptr);
  // Disconnects and closes the pipe, which frees its name.
  void close();

  bool connected() const noexcept { return connected_; }
  const std::string& name() const noexcept { return name_; }

 private:
  velmar::win::UniqueHandle pipe_;  // released on every path, also when close() is never reached
  bool connected_ = false;
  std::string name_;
};
