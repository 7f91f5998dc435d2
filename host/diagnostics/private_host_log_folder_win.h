// private_host_log_folder_win.h: the host's log folder, declared as the host's logging declares it, for
// the diagnostics until they use the logging's own definition.
#pragma once

#include <string>

// %LOCALAPPDATA%\velmar\velmar-device, without a trailing separator.
std::wstring hostLogFolder();
