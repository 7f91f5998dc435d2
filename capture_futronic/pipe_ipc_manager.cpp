// pipe_ipc_manager.cpp: one send over a fresh pipe connection, and the logged sendToPipe.
#include "pipe_ipc_manager.h"

#include "pipe_connection.h"
#include "simple_logger.h"

namespace one {

bool PipeIPCManager::send(const std::uint8_t* bytes, std::size_t count) {
  PipeConnection connection(name);
  const bool ok = connection.connect() && connection.write(bytes, count);
  connection.close();
  return ok;
}

bool sendToPipe(SimpleLogger::Log* log, const std::uint8_t* bytes, std::size_t count, const std::wstring& pipeName) {
  if (log) log->debug(L"Intentando escribir %d bytes en '%ls'", static_cast<int>(count), pipeName.c_str());
  PipeIPCManager ipc(pipeName);
  if (ipc.send(bytes, count)) return true;
  if (log) log->error(L"Error al escribir %d bytes en '%ls'", static_cast<int>(count), pipeName.c_str());
  return false;
}

}  // namespace one
