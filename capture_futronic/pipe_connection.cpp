// pipe_connection.cpp: connecting to, writing into and closing a named pipe as its client.
#include "pipe_connection.h"

#include <algorithm>

namespace one {

PipeConnection::PipeConnection(std::wstring name_, std::int32_t budget) : name(std::move(name_)), waitBudgetMs(budget) {}

PipeConnection::~PipeConnection() { close(); }

bool PipeConnection::connect() {
  connected = false;
  if (name.empty()) return false;
  if (waitBudgetMs != 0) {
    const DWORD limit = static_cast<DWORD>((2 * waitBudgetMs) / 3);
    if (!WaitNamedPipeW(name.c_str(), limit)) return false;
  }
  handle.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
  if (!handle) return false;
  DWORD mode = PIPE_READMODE_MESSAGE;
  if (!SetNamedPipeHandleState(handle.get(), &mode, nullptr, nullptr)) {
    close();
    return false;
  }
  connected = true;
  return true;
}

bool PipeConnection::write(const std::uint8_t* bytes, std::size_t count) {
  if (!connected) return false;
  std::size_t done = 0;
  while (done < count) {
    const DWORD piece = static_cast<DWORD>(std::min(kPieceBytes, count - done));
    DWORD written = 0;
    if (!WriteFile(handle.get(), bytes + done, piece, &written, nullptr)) return false;
    done += written;  // the next piece starts where the bytes actually written end
  }
  FlushFileBuffers(handle.get());
  return true;
}

void PipeConnection::close() {
  if (!handle) return;
  DisconnectNamedPipe(handle.get());  // a client handle: the call fails, as expected
  handle.reset();
  name.clear();
  waitBudgetMs = 0;
  connected = false;
}

}  // namespace one
