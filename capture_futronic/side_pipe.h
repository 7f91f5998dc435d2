// side_pipe.h: the side outputs "\\.\pipe\nfiq" and "\\.\pipe\fmd". The template is biometric data, so
// a side pipe is written only when its server runs as the same user as this program. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "pipe_server_user.h"

namespace SimpleLogger {
class Log;
}

namespace one {

// Who serves a connected pipe.
using ServerUserQuery = ServerUser (*)(HANDLE pipe);

// Like sendToPipe (the same DBG and ERR lines), after asking who serves the pipe: another user gets
// nothing (WRN line, false); where the system cannot tell, the bytes are written and a WRN line says so.
bool sendToSidePipe(SimpleLogger::Log* log, const std::uint8_t* bytes, std::size_t count, const std::wstring& pipeName,
                    ServerUserQuery whoServes = pipeServerUser);

}  // namespace one
