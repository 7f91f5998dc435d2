// pipe_server_user.h: whether the process serving a pipe runs as the same user as this program, so
// that biometric data goes only to a reader of our own user. Any thread.
#pragma once

#include <windows.h>

namespace one {

enum class ServerUser {
  Same,     // the server's token names our user
  Other,    // another user, or a process whose user we may not read: not to be trusted with data
  Unknown,  // the system does not tell who serves the pipe (GetNamedPipeServerProcessId gives 0)
};

// The user of the process with that id compared with ours; 0 gives Unknown.
ServerUser processUser(DWORD processId);

// The user of the server of a connected client handle.
ServerUser pipeServerUser(HANDLE pipe);

}  // namespace one
