#include "pipe_reader_win.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

#include "ansi_text_win.h"
#include "host_log.h"
#include "pipe_security_win.h"
#include "win/last_error.h"

namespace {
constexpr DWORD kBufferBytes = 1024;
}

PipeReader::PipeReader(std::string name) : name_(std::move(name)) {}

void PipeReader::connect() {
  create();
  waitForClient();
}

void PipeReader::create() {
  hostLog(LOG_TRACE, "waiting connection in '" + name_ + "'");
  const std::wstring pipeN = ansiToWide(name_, "pipe name");
  PipeSecurity security;  // the user and SYSTEM only
  pipe_.reset(CreateNamedPipeW(pipeN.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                               1,             // one instance: the name is ours alone
                               0, kBufferBytes,  // out / in buffer bytes
                               0, security.attributes()));
  if (!pipe_) velmar::win::throwLastError("CreateNamedPipe");
}

void PipeReader::waitForClient(const ClientFilter& accept) {
  if (!pipe_) throw std::runtime_error("invalid state, pipe must be created to wait for a client");
  for (;;) {
    if (!ConnectNamedPipe(pipe_.get(), nullptr)) {
      const DWORD error = GetLastError();
      // 535: the client opened the pipe before we waited. 232: it also closed it again already; what
      // it wrote is still readable and the read then ends as usual with a broken pipe.
      if (error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) {
        pipe_.reset();
        throw velmar::ApiError("ConnectNamedPipe", error);
      }
    }
    if (!accept) break;
    ULONG clientId = 0;
    if (!GetNamedPipeClientProcessId(pipe_.get(), &clientId)) clientId = 0;  // unknown: refused below
    if (accept(clientId)) break;
    hostLog(LOG_WARN, "refused client process " + std::to_string(clientId) + " on pipe '" + name_ +
                          "': not a process of the capture application");
    // Drops the client and whatever it wrote; the instance then waits for the next client.
    if (!DisconnectNamedPipe(pipe_.get())) {
      const DWORD error = GetLastError();
      pipe_.reset();
      throw velmar::ApiError("DisconnectNamedPipe", error);
    }
  }
  connected_ = true;
  hostLog(LOG_TRACE, "there is a connection!");
}

void PipeReader::read(std::vector<std::uint8_t>& bytes, std::atomic<std::size_t>* arrived) {
  if (!connected_) throw std::runtime_error("invalid state, pipe must be connected to read from it");
  std::uint8_t buffer[kBufferBytes] = {};
  std::size_t total = 0;
  bytes.clear();
  hostLog(LOG_TRACE, "reading...");
  DWORD error = 0;
  for (;;) {
    DWORD bufferBytesRead = 0;
    const BOOL ok = ReadFile(pipe_.get(), buffer, kBufferBytes, &bufferBytesRead, nullptr);
    total += bufferBytesRead;
    if (!ok) {
      error = GetLastError();
      break;
    }
    bytes.insert(bytes.end(), buffer, buffer + bufferBytesRead);
    if (arrived != nullptr) arrived->store(bytes.size());
  }
  if (error != ERROR_BROKEN_PIPE) throw velmar::ApiError("ReadFile", error);
  hostLog(LOG_TRACE, "connection broken");
  hostLog(LOG_TRACE, std::to_string(total) + "=" + std::to_string(bytes.size()) + "? (it must be)");
}

void PipeReader::close() {
  if (!connected_) throw std::runtime_error("invalid state, pipe must be connected to close it");
  DisconnectNamedPipe(pipe_.get());
  pipe_.reset();
  connected_ = false;
}
