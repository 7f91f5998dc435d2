// logon_start_win.cpp: velmar-service-start, a program without a window that the installer uses.
//
//   velmar-service-start                      starts velmar-device.exe --serve from its own folder
//                                             without a console window, in the user's
//                                             %LOCALAPPDATA%\velmar folder (where its log goes), and
//                                             ends; the log-on entry of AUTOSTART=1 runs it
//   velmar-service-start --set-origins LIST   writes velmar-device-origins.txt beside it from LIST
//                                             (origins separated by blanks, commas or semicolons);
//                                             status 1 and nothing written when one is not an origin
//   velmar-service-start --set-autostart      adds the log-on entry: the value "velmar service" under
//                                             HKLM\Software\Microsoft\Windows\CurrentVersion\Run,
//                                             which runs this program
//   velmar-service-start --uninstall          removes the origins file and the log-on entry
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "allowed_origins.h"
#include "win/unique_handle.h"
#include "win/utf8_wide.h"

namespace {

std::wstring ownFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring environment(const wchar_t* name) {
  std::wstring value(32768, L'\0');
  const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
  value.resize(n < value.size() ? n : 0);
  return value;
}

int setOrigins(const std::wstring& list) {
  const OriginsText read = readOriginsList(velmar::win::utf8FromWide(list));
  if (!read.refused.empty()) return 1;
  const std::string text = originsFileText(read.origins);
  const std::wstring path = ownFolder() + L"\\velmar-device-origins.txt";
  velmar::win::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size()) {
    return 1;
  }
  return 0;
}

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"velmar service";

int setAutostart() {
  const std::wstring command = L"\"" + ownFolder() + L"\\velmar-service-start.exe\"";
  velmar::win::UniqueKey run;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, run.put(), nullptr) !=
      ERROR_SUCCESS) {
    return 1;
  }
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(run.get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes) ==
                 ERROR_SUCCESS
             ? 0
             : 1;
}

int uninstall() {
  const std::wstring path = ownFolder() + L"\\velmar-device-origins.txt";
  const bool removed = DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
  const LSTATUS value = RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  return removed && (value == ERROR_SUCCESS || value == ERROR_FILE_NOT_FOUND) ? 0 : 1;
}

int startService() {
  std::wstring work = environment(L"LOCALAPPDATA");
  if (work.empty()) work = environment(L"TEMP");
  if (!work.empty()) {
    work += L"\\velmar";
    CreateDirectoryW(work.c_str(), nullptr);
  }
  const std::wstring program = ownFolder() + L"\\velmar-device.exe";
  std::wstring commandLine = L"\"" + program + L"\" --serve";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      work.empty() ? nullptr : work.c_str(), &startup, &process)) {
    return 1;
  }
  velmar::win::UniqueHandle thread(process.hThread), owned(process.hProcess);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  LocalFree(argv);
  if (args.size() == 2 && args[0] == L"--set-origins") return setOrigins(args[1]);
  if (args.size() == 1 && args[0] == L"--set-autostart") return setAutostart();
  if (args.size() == 1 && args[0] == L"--uninstall") return uninstall();
  if (args.empty()) return startService();
  return 2;
}
