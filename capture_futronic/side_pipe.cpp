// side_pipe.cpp: a side-pipe send that first checks the server's user.
#include "side_pipe.h"

#include "pipe_connection.h"
#include "simple_logger.h"

namespace one {

bool sendToSidePipe(SimpleLogger::Log* log, const std::uint8_t* bytes, std::size_t count, const std::wstring& pipeName,
                    ServerUserQuery whoServes) {
  if (log) log->debug(L"Intentando escribir %d bytes en '%ls'", static_cast<int>(count), pipeName.c_str());
  PipeConnection connection(pipeName);
  bool ok = connection.connect();
  if (ok) {
    switch (whoServes(connection.nativeHandle())) {
      case ServerUser::Same:
        break;
      case ServerUser::Unknown:
        if (log)
          log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0,
                     L"No se pudo saber si el servidor de '%ls' es del mismo usuario. Se escribe igualmente.",
                     pipeName.c_str());
        break;
      case ServerUser::Other:
        if (log)
          log->write(SimpleLogger::LEVEL_WRN, nullptr, nullptr, 0,
                     L"El servidor de '%ls' no es del mismo usuario. No se escriben %d bytes.", pipeName.c_str(),
                     static_cast<int>(count));
        return false;
    }
    ok = connection.write(bytes, count);
  }
  connection.close();
  if (!ok && log) log->error(L"Error al escribir %d bytes en '%ls'", static_cast<int>(count), pipeName.c_str());
  return ok;
}

}  // namespace one
