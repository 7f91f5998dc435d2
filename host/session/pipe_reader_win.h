// pipe_reader_win.h: the host's server end of one result pipe. It creates the pipe (one instance,
// inbound only), waits for the capture application to connect, and reads the stream until the writer
// closes it. The pipe refuses remote clients and grants access to the host's user and SYSTEM only; a
// client the caller does not accept is disconnected before anything it wrote is read. One reader thread
// owns one PipeReader.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/unique_handle.h"

class PipeReader {
 public:
  // Decides, by the client's process id, whether a client that opened the pipe may deliver.
  using ClientFilter = std::function<bool(unsigned long processId)>;

  explicit PipeReader(std::string name);

  // create() then waitForClient().
  void connect();
  // Creates the pipe; "CreateNamedPipe failed with N" when the name is taken or invalid.
  void create();
  // Blocks until a client has opened the pipe (or already had: opened, or opened and closed again).
  // With a filter, a client it refuses is logged at LOG_WARN with its process id and disconnected,
  // which drops whatever it wrote, and the wait goes on for the next one.
  void waitForClient(const ClientFilter& accept = nullptr);
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
