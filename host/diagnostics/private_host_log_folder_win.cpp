// private_host_log_folder_win.cpp: the host's log folder as every program's: under the user's local
// application-data folder.
#include "private_host_log_folder_win.h"

#include "program_log_folder_win.h"

std::wstring hostLogFolder() { return programLogFolder(L"velmar-device"); }
