// user_folders.h: the folders a standard user may write, for what a program writes at run time (its
// logs and temporary files); what it reads from its install folder stays there. Windows only; link
// shell32, ole32 and uuid.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace velmar::win {

// The user's local application-data folder: LOCALAPPDATA from the environment, else the system's known
// folder. Empty when neither gives one.
inline std::wstring localAppDataFolder() {
  wchar_t buffer[2048];
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 2048);
  if (n > 0 && n < 2048) return std::wstring(buffer, n);
  PWSTR known = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)) && known) folder = known;
  CoTaskMemFree(known);
  return folder;
}

// "<local application data>\velmar\<program>", created when missing, without a trailing separator.
// Empty when there is no such folder and it cannot be made.
inline std::wstring programDataFolder(const std::wstring& program) {
  const std::wstring base = localAppDataFolder();
  if (base.empty()) return {};
  const std::filesystem::path folder = std::filesystem::path(base) / L"velmar" / program;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error)) return {};
  return folder.wstring();
}

// The user's temporary folder (GetTempPathW), with its trailing separator. Empty on failure.
inline std::wstring userTempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return {};
  return std::wstring(buffer, n);
}

}  // namespace velmar::win
