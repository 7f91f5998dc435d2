#include "host_log_folder_win.h"

#include <windows.h>
// After windows.h.
#include <knownfolders.h>
#include <shlobj.h>

namespace {

std::wstring environmentValue(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) return {};
    if (n < value.size()) {
      value.resize(n);
      return value;
    }
    value.resize(n);
  }
}

std::wstring localAppDataFromShell() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path != nullptr) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::wstring hostLogFolder() {
  std::wstring base = environmentValue(L"LOCALAPPDATA");
  if (base.empty()) base = localAppDataFromShell();
  if (base.empty()) return {};
  while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
  return base + L"\\velmar\\velmar-device";
}
