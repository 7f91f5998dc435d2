#include "pipe_writer_win.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

#include "ansi_text_win.h"
#include "host_log.h"
#include "win/last_error.h"

PipeWriter::PipeWriter(std::string name) : name_(std::move(name)) {}

void PipeWriter::connect() {
  hostLog(LOG_TRACE, "probing connection in '" + name_ + "'");
  const std::wstring pipeN = ansiToWide(name_, "pipe name");
  // Identification only: whoever serves the name cannot act as the host.
  pipe_.reset(CreateFileW(pipeN.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
  if (!pipe_) velmar::win::throwLastError("CreateFile (Pipe)");
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(pipe_.get(), &mode, nullptr, nullptr);  // result not needed: we never write
  hostLog(LOG_TRACE, "there is a connection!");
  connected_ = true;
}

void PipeWriter::close() {
  if (!connected_) throw std::runtime_error("invalid state, pipe must be connected to close it");
  pipe_.reset();
  connected_ = false;
}
