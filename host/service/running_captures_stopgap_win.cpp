// running_captures_stopgap_win.cpp: cancelRunningCaptures for the service until the capture session
// keeps its own list of running capture applications: the capture applications are this process's
// child processes, found in a process snapshot; their top-level windows get WM_CLOSE.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "running_captures_win.h"
#include "win/unique_handle.h"

namespace {

std::vector<DWORD> childProcesses() {
  std::vector<DWORD> children;
  velmar::win::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return children;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == self && entry.th32ProcessID != self) children.push_back(entry.th32ProcessID);
  }
  return children;
}

struct CloseWindows {
  std::vector<DWORD> processes;
  std::vector<DWORD> reached;
};

BOOL CALLBACK closeIfChild(HWND window, LPARAM param) {
  auto* close = reinterpret_cast<CloseWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const auto& p = close->processes;
  if (std::find(p.begin(), p.end(), pid) != p.end() && IsWindowVisible(window)) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (std::find(close->reached.begin(), close->reached.end(), pid) == close->reached.end()) {
      close->reached.push_back(pid);
    }
  }
  return TRUE;
}

}  // namespace

int cancelRunningCaptures() {
  CloseWindows close;
  close.processes = childProcesses();
  if (close.processes.empty()) return 0;
  EnumWindows(closeIfChild, reinterpret_cast<LPARAM>(&close));
  return static_cast<int>(close.reached.size());
}
