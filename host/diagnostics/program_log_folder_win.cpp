// program_log_folder_win.cpp: GetEnvironmentVariable, then SHGetKnownFolderPath.
#include "program_log_folder_win.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace {

std::wstring environmentVariable(const wchar_t* name) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(n);  // n counts the terminating NUL when the buffer was too small
  }
}

std::wstring knownLocalAppData() {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
  std::wstring folder = SUCCEEDED(result) && path ? std::wstring(path) : std::wstring();
  CoTaskMemFree(path);  // also after a failure, as the call asks
  return folder;
}

}  // namespace

std::wstring localAppDataFolder() {
  std::wstring folder = environmentVariable(L"LOCALAPPDATA");
  if (folder.empty()) folder = knownLocalAppData();
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

std::wstring programLogFolder(const std::wstring& program) {
  const std::wstring base = localAppDataFolder();
  return base.empty() ? std::wstring() : base + L"\\velmar\\" + program;
}
