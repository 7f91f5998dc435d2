#include "host_log_folder_win.h"

#include "win/user_folders.h"

std::wstring hostLogFolder() { return velmar::win::programFolderPath(L"velmar-device"); }
