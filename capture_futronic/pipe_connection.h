// pipe_connection.h: the client end of one named pipe, used for one send. Any thread; one owner.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "win/unique_handle.h"

namespace one {

class PipeConnection {
 public:
  // Largest piece handed to one write call.
  static constexpr std::size_t kPieceBytes = 4096;

  explicit PipeConnection(std::wstring name, std::int32_t waitBudgetMs = 600);
  ~PipeConnection();
  PipeConnection(const PipeConnection&) = delete;
  PipeConnection& operator=(const PipeConnection&) = delete;

  // Waits up to two thirds of the budget for the pipe, opens it for writing (identification only, so
  // the server cannot act as this program) and switches it to message read mode. No retry.
  bool connect();
  // Writes all bytes in pieces of at most 4096 bytes, then flushes.
  bool write(const std::uint8_t* bytes, std::size_t count);
  // Disconnects (result ignored) and closes the handle.
  void close();

  bool isConnected() const { return connected; }
  // The native handle while connected, for questions about the server.
  HANDLE nativeHandle() const { return handle.get(); }

 private:
  velmar::win::UniqueHandle handle;
  std::wstring name;
  std::int32_t waitBudgetMs;
  bool connected = false;
};

}  // namespace one
