// pipe_client_win.cpp: PipeClient.
#include "pipe_client_win.h"

#include <algorithm>

#include "capture_log_win.h"
#include "run_settings.h"

namespace capture_b {

PipeClient::PipeClient(const std::wstring& name) : name_(name.substr(0, kPipeNameChars)) {}

bool PipeClient::connect() {
  CaptureLog& log = captureLog();
  for (int attempt = 1;; ++attempt) {
    log.debug(L"Intento %d para conectarse a '%ls'...", attempt, name_.c_str());
    // Identification only: whoever serves the name cannot act as this program.
    handle_.reset(CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (handle_) break;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return false;
    if (error != ERROR_PIPE_BUSY) {
      log.logSystemError(L"CreateFile-Connect Named Pipe");
      return false;
    }
    if (!WaitNamedPipeW(name_.c_str(), NMPWAIT_USE_DEFAULT_WAIT)) {
      log.logSystemError(L"WaitNamedPipe");
      return false;
    }
    if (attempt == 3) return false;
  }
  DWORD mode = PIPE_READMODE_MESSAGE;
  if (!SetNamedPipeHandleState(handle_.get(), &mode, nullptr, nullptr)) {
    log.logSystemError(L"SetNamedPipeHandleState");
    handle_.reset();
    return false;
  }
  connected_ = true;
  return true;
}

bool PipeClient::write(const void* bytes, size_t count) {
  if (!connected_) return false;
  const auto* p = static_cast<const unsigned char*>(bytes);
  size_t done = 0;
  while (done < count) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(count - done, 1024));
    DWORD written = 0;
    if (!WriteFile(handle_.get(), p + done, piece, &written, nullptr)) {
      captureLog().logSystemError(L"WriteFile pipe");
      return false;
    }
    done += written;
  }
  FlushFileBuffers(handle_.get());
  return true;
}

void PipeClient::close() {
  if (!connected_) return;
  handle_.reset();  // no disconnect: closing is the end of the stream
  connected_ = false;
}

void sendErrorResult(const std::wstring& wsqPipeName, int32_t code) {
  PipeClient pipe(wsqPipeName);
  if (!pipe.connect()) return;
  const unsigned char byte = static_cast<unsigned char>(code & 0xFF);
  pipe.write(&byte, 1);
  pipe.close();
}

}  // namespace capture_b
