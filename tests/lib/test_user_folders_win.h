// test_user_folders_win.h: gives the programs a test program starts the test's own user folders.
// Wine sets LOCALAPPDATA, TEMP and TMP of a process started from Linux from the prefix's registry,
// whatever the Linux environment says; a process started by a Windows process inherits that process's
// environment. So a test passes its folders as VELMAR_TEST_LOCALAPPDATA and VELMAR_TEST_TEMP (Windows
// paths), and the starting program sets them before it starts anything: the logs and temporary files
// of that run land in the test's own folders, apart from every other run.
#pragma once

#include <windows.h>

namespace velmar::testing {

inline void applyTestUserFolders() {
  wchar_t value[2048];
  DWORD n = GetEnvironmentVariableW(L"VELMAR_TEST_LOCALAPPDATA", value, 2048);
  if (n > 0 && n < 2048) SetEnvironmentVariableW(L"LOCALAPPDATA", value);
  n = GetEnvironmentVariableW(L"VELMAR_TEST_TEMP", value, 2048);
  if (n > 0 && n < 2048) {
    SetEnvironmentVariableW(L"TEMP", value);
    SetEnvironmentVariableW(L"TMP", value);
  }
}

}  // namespace velmar::testing
