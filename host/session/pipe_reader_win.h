// pipe_reader_win.h: the host's server end of one result pipe. It creates the pipe (one instance,
// inbound only), waits for the capture application to connect, and reads the stream until the writer
// closes it. The pipe refuses remote clients and grants access to the host's user and SYSTEM only; a
// client the caller does not accept is disconnected before anything it wrote is read. One reader thread
// owns one PipeReader. Its waits can be ended from another thread through two events (PipeStops), so
// the session never depends on a client to end them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "win/unique_handle.h"

// Thrown when the abandon event ended a wait or a read: the owner gave up on the pipe.
struct PipeAbandoned : std::runtime_error {
  PipeAbandoned() : std::runtime_error("pipe abandoned") {}
};

// Manual-reset events, owned by whoever may end a reader's waits; null ones are never signalled.
struct PipeStops {
  HANDLE release = nullptr;  // stop waiting for a client: the stream is empty (a connected one is read)
  HANDLE abandon = nullptr;  // stop every wait, a read included: the read fails
};

class PipeReader {
 public:
  // Decides, by the client's process id, whether a client that opened the pipe may deliver.
  using ClientFilter = std::function<bool(unsigned long processId)>;

  explicit PipeReader(std::string name, PipeStops stops = {});

  // create() then waitForClient().
  void connect();
  // Creates the pipe; "CreateNamedPipe failed with N" when the name is taken or invalid.
  void create();
  // Blocks until a client has opened the pipe (or already had: opened, or opened and closed again).
  // With a filter, a client it refuses is logged at LOG_WARN with its process id and disconnected,
  // which drops whatever it wrote, and the wait goes on for the next one. False when the release
  // event ended the wait before any client came; PipeAbandoned when the abandon event did.
  bool waitForClient(const ClientFilter& accept = nullptr);
  // Reads the whole stream into bytes; arrived, when given, follows the byte count as data comes in so
  // another thread can see whether anything arrived without touching bytes. PipeAbandoned when
  // the abandon event ends it. firstByteAt, when given, receives the steady clock's count at the
  // first byte.
  void read(std::vector<std::uint8_t>& bytes, std::atomic<std::size_t>* arrived = nullptr,
            std::atomic<std::int64_t>* firstByteAt = nullptr);
  // Disconnects and closes the pipe, which frees its name.
  void close();

  bool connected() const noexcept { return connected_; }
  const std::string& name() const noexcept { return name_; }

 private:
  // Waits for the overlapped operation; a stop cancels it. True when it completed (bytes and error
  // set as GetOverlappedResult gives them); false when the release event ended it unfinished.
  bool finish(OVERLAPPED& overlapped, bool releasable, DWORD& bytes, DWORD& error);

  velmar::win::UniqueHandle pipe_;  // released on every path, also when close() is never reached
  velmar::win::UniqueHandle done_;  // the overlapped operations' event
  bool connected_ = false;
  std::string name_;
  PipeStops stops_;
};
