// converter_win.h: runs the external WSQ converter and waits for it.
#pragma once

#include <windows.h>

#include <string>

namespace capture_b {

enum class ConverterRun { NotStarted, Failed, TimedOut, Succeeded };

// Starts the command line as a hidden process without inherited handles, in the current (working)
// directory, and waits up to `limitMs` for it to end. Succeeded means it ended with exit code 0; a
// converter still running at the limit is ended and counts as TimedOut. `exitCode` gets its code.
ConverterRun runConverter(const std::wstring& commandLine, DWORD limitMs, DWORD& exitCode);

}  // namespace capture_b
