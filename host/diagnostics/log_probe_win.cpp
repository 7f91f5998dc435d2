// log_probe_win.cpp: each program's log folder and the newest file by last-write time among its logs.
#include "log_probe_win.h"

#include <windows.h>

#include "capture_app_table.h"
#include "host_log_folder_win.h"
#include "win/utf8_wide.h"
#include "win/unique_handle.h"
#include "win/user_folders.h"

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

std::vector<LogFacts> probeLogs() {
  std::vector<LogFacts> logs;
  const std::wstring host = hostLogFolder();
  logs.push_back({"velmar-device", velmar::win::utf8FromWide(host), host.empty() ? "" : newestFile(host, L"*.log")});
  for (const CaptureAppTraits& app : captureAppTable()) {
    const std::string program = app.fileName.substr(0, app.fileName.size() - 4);  // without ".exe"
    const std::wstring folder = velmar::win::programFolderPath(velmar::win::wideFromUtf8(program));
    logs.push_back({program, velmar::win::utf8FromWide(folder),
                    folder.empty() ? "" : newestFile(folder, velmar::win::wideFromUtf8(app.logPattern))});
  }
  return logs;
}
