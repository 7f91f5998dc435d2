// pipe_ipc_manager.h: one::PipeIPCManager, sending bytes to a named pipe through a new connection for
// every send, and sendToPipe, the logged send every delivery goes through. Any thread.
#pragma once

#include <string>

#include "ipc_manager.h"

namespace SimpleLogger {
class Log;
}

namespace one {

class PipeIPCManager : public IPCManager {
 public:
  explicit PipeIPCManager(std::wstring pipeName) : name(std::move(pipeName)) {}
  // Connects, writes all bytes and closes; true only if connecting and every write succeeded.
  bool send(const std::uint8_t* bytes, std::size_t count) override;

 private:
  std::wstring name;
};

// Logs DBG "Intentando escribir %d bytes en '%ls'", sends through a PipeIPCManager and, on failure,
// logs ERR "Error al escribir %d bytes en '%ls'". `log` may be empty.
bool sendToPipe(SimpleLogger::Log* log, const std::uint8_t* bytes, std::size_t count, const std::wstring& pipeName);

}  // namespace one
