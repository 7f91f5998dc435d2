// user_folders.h: the folders a standard user may write, for what a program writes at run time (its
// logs and temporary files); what it reads from its install folder stays there. One rule for every
// program: the host (console, DLL, web service), both capture applications and the diagnostics that
// look for their logs. Windows only; link shell32, ole32 and uuid.
#pragma once

#include <windows.h>
// After windows.h.
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace velmar::win {

// The user's local application-data folder, without a trailing separator: LOCALAPPDATA from the
// environment, else the system's known folder. Empty when neither gives one.
inline std::wstring localAppDataFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
    if (n < folder.size()) {
      folder.resize(n);  // 0: not set
      break;
    }
    folder.resize(n);  // too small: n counts the terminating NUL
  }
  if (folder.empty()) {
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)) && known) folder = known;
    CoTaskMemFree(known);  // also after a failure, as the call asks
  }
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

// "<local application data>\velmar\<program>" without a trailing separator, whether it exists or not.
// Empty when there is no local application-data folder. Creates nothing.
inline std::wstring programFolderPath(const std::wstring& program) {
  const std::wstring base = localAppDataFolder();
  return base.empty() ? std::wstring() : base + L"\\velmar\\" + program;
}

// programFolderPath, created when missing. Empty when there is no such folder and it cannot be made.
inline std::wstring programDataFolder(const std::wstring& program) {
  const std::wstring path = programFolderPath(program);
  if (path.empty()) return {};
  const std::filesystem::path folder(path);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error)) return {};
  return path;
}

// The user's temporary folder (GetTempPathW), with its trailing separator. Empty on failure.
inline std::wstring userTempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return {};
  return std::wstring(buffer, n);
}

}  // namespace velmar::win
