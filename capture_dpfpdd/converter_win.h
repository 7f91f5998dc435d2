// converter_win.h: runs the external WSQ converter and waits for it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace capture_b {

enum class ConverterRun { NotStarted, Ended, TimedOut };

// Starts the command line as a hidden process without inherited handles, in the current (working)
// directory, and waits up to `limitMs` for it to end. A converter still running at the limit is ended
// and counts as TimedOut. `exitCode` gets its exit code when it ended (it is only logged: the file it
// leaves decides). `started` runs once the process exists, before the wait.
ConverterRun runConverter(const std::wstring& commandLine, DWORD limitMs, DWORD& exitCode,
                          const std::function<void()>& started = nullptr);

}  // namespace capture_b
