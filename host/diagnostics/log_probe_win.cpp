// log_probe_win.cpp: the newest file by last-write time among a folder's files that match a pattern.
#include "log_probe_win.h"

#include <windows.h>

#include "app_inspection_win.h"
#include "capture_app_table.h"
#include "win/utf8_wide.h"
#include "win/unique_handle.h"

namespace {

std::string newestFile(const std::wstring& folder, const std::wstring& pattern) {
  WIN32_FIND_DATAW data;
  velmar::win::Unique<HANDLE, &FindClose> find(FindFirstFileW((folder + L"\\" + pattern).c_str(), &data));
  if (!find) return {};
  std::wstring best;
  ULONGLONG bestTime = 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const ULONGLONG t = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
    if (best.empty() || t > bestTime || (t == bestTime && data.cFileName > best)) {
      best = data.cFileName;
      bestTime = t;
    }
  } while (FindNextFileW(find.get(), &data));
  return best.empty() ? std::string() : velmar::win::utf8FromWide(folder + L"\\" + best);
}

}  // namespace

std::vector<LogFacts> probeLogs(const std::vector<AppFacts>& apps) {
  std::vector<LogFacts> logs;
  wchar_t cwd[MAX_PATH * 4];
  const DWORD n = GetCurrentDirectoryW(sizeof cwd / sizeof cwd[0], cwd);
  std::wstring current = n > 0 && n < sizeof cwd / sizeof cwd[0] ? std::wstring(cwd, n) : std::wstring(L".");
  if (!current.empty() && (current.back() == L'\\' || current.back() == L'/')) current.pop_back();
  const std::wstring hostFolder = current + L"\\log-device-velmar";
  logs.push_back({"velmar-device", velmar::win::utf8FromWide(hostFolder), newestFile(hostFolder, L"*.log")});

  for (const AppFacts& app : apps) {
    const CaptureAppTraits* traits = findCaptureApp(app.fileName());
    if (!traits) continue;
    const std::wstring folder = folderOf(velmar::win::wideFromUtf8(app.fullPath));
    std::string program = app.fileName();
    program.erase(program.size() - 4);  // without ".exe"
    logs.push_back({program, velmar::win::utf8FromWide(folder), newestFile(folder, velmar::win::wideFromUtf8(traits->logPattern))});
  }
  return logs;
}
