// program_log_folder_win.h: where each program writes its log: one folder per program under the user's
// local application-data folder, %LOCALAPPDATA%\velmar\<program>.
#pragma once

#include <string>

// LOCALAPPDATA from the environment, else the known folder; empty when neither gives one.
std::wstring localAppDataFolder();

// %LOCALAPPDATA%\velmar\<program> ("velmar-capture-a", …), without a trailing separator; empty when
// there is no local application-data folder.
std::wstring programLogFolder(const std::wstring& program);
