// host_log_folder_win.h: where the host log lives, for every program that writes or looks for it
// (the console program, velmar-device.dll, the local web service, the diagnostics).
#pragma once

#include <string>

// The full path of the host log folder, %LOCALAPPDATA%\velmar\velmar-device (no trailing '\'): the
// user's local application-data folder from the environment, else as the shell knows it. Empty when
// neither gives one. Creates nothing (the log creates the folder on its first line).
std::wstring hostLogFolder();
