#include "pipe_reader_win.h"

#include <chrono>
#include <stdexcept>
#include <utility>

#include "ansi_text_win.h"
#include "host_log.h"
#include "pipe_security_win.h"
#include "win/last_error.h"

namespace {
constexpr DWORD kBufferBytes = 1024;

bool signalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }
}  // namespace

PipeReader::PipeReader(std::string name, PipeStops stops) : name_(std::move(name)), stops_(stops) {}

void PipeReader::connect() {
  create();
  waitForClient();
}

void PipeReader::create() {
  hostLog(LOG_TRACE, "waiting connection in '" + name_ + "'");
  const std::wstring pipeN = ansiToWide(name_, "pipe name");
  done_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done_) velmar::win::throwLastError("CreateEvent");
  PipeSecurity security;  // the user and SYSTEM only
  // Overlapped, so that every wait on it can also end on a stop event.
  pipe_.reset(CreateNamedPipeW(pipeN.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                               1,             // one instance: the name is ours alone
                               0, kBufferBytes,  // out / in buffer bytes
                               0, security.attributes()));
  if (!pipe_) velmar::win::throwLastError("CreateNamedPipe");
}

bool PipeReader::finish(OVERLAPPED& overlapped, bool releasable, DWORD& bytes, DWORD& error) {
  HANDLE waits[3] = {overlapped.hEvent};
  DWORD count = 1;
  if (stops_.abandon != nullptr) waits[count++] = stops_.abandon;
  if (releasable && stops_.release != nullptr) waits[count++] = stops_.release;
  const DWORD woke = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
  const DWORD waitError = woke == WAIT_FAILED ? GetLastError() : 0;
  if (woke != WAIT_OBJECT_0) CancelIoEx(pipe_.get(), &overlapped);
  // Always collected, so the operation no longer uses overlapped when this returns.
  error = GetOverlappedResult(pipe_.get(), &overlapped, &bytes, TRUE) ? 0 : GetLastError();
  if (waitError != 0) throw velmar::ApiError("WaitForMultipleObjects", waitError);
  if (error != ERROR_OPERATION_ABORTED) return true;  // it completed, maybe just before the stop
  if (signalled(stops_.abandon)) throw PipeAbandoned();
  return false;
}

bool PipeReader::waitForClient(const ClientFilter& accept) {
  if (!pipe_) throw std::runtime_error("invalid state, pipe must be created to wait for a client");
  for (;;) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = done_.get();
    ResetEvent(done_.get());
    DWORD error = ConnectNamedPipe(pipe_.get(), &overlapped) ? 0 : GetLastError();
    if (error == ERROR_IO_PENDING) {
      DWORD unused = 0;
      if (!finish(overlapped, true, unused, error)) return false;
    }
    // 535: the client opened the pipe before we waited. 232: it also closed it again already; what
    // it wrote is still readable and the read then ends as usual with a broken pipe.
    if (error != 0 && error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) {
      pipe_.reset();
      throw velmar::ApiError("ConnectNamedPipe", error);
    }
    if (!accept) break;
    ULONG clientId = 0;
    if (!GetNamedPipeClientProcessId(pipe_.get(), &clientId)) clientId = 0;  // unknown: refused below
    if (accept(clientId)) break;
    hostLog(LOG_WARN, "refused client process " + std::to_string(clientId) + " on pipe '" + name_ +
                          "': not a process of the capture application");
    // Drops the client and whatever it wrote; the instance then waits for the next client.
    if (!DisconnectNamedPipe(pipe_.get())) {
      const DWORD disconnectError = GetLastError();
      pipe_.reset();
      throw velmar::ApiError("DisconnectNamedPipe", disconnectError);
    }
  }
  connected_ = true;
  hostLog(LOG_TRACE, "there is a connection!");
  return true;
}

void PipeReader::read(std::vector<std::uint8_t>& bytes, std::atomic<std::size_t>* arrived,
                      std::atomic<std::int64_t>* firstByteAt) {
  if (!connected_) throw std::runtime_error("invalid state, pipe must be connected to read from it");
  std::uint8_t buffer[kBufferBytes] = {};
  std::size_t total = 0;
  bytes.clear();
  hostLog(LOG_TRACE, "reading...");
  DWORD error = 0;
  for (;;) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = done_.get();
    ResetEvent(done_.get());
    DWORD bufferBytesRead = 0;
    error = ReadFile(pipe_.get(), buffer, kBufferBytes, nullptr, &overlapped) ? 0 : GetLastError();
    if (error == 0 || error == ERROR_IO_PENDING) {
      if (!finish(overlapped, false, bufferBytesRead, error)) throw PipeAbandoned();
    }
    total += bufferBytesRead;
    if (error != 0) break;
    if (firstByteAt != nullptr && bytes.empty() && bufferBytesRead > 0) {
      firstByteAt->store(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    bytes.insert(bytes.end(), buffer, buffer + bufferBytesRead);
    if (arrived != nullptr) arrived->store(bytes.size());
  }
  if (signalled(stops_.abandon)) throw PipeAbandoned();
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
