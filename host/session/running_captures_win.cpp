#include "running_captures_win.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex& registryLock() {
  static std::mutex lock;
  return lock;
}

// Process ids of the running capture applications; guarded by registryLock().
std::vector<DWORD>& registry() {
  static std::vector<DWORD> ids;
  return ids;
}

struct CloseSearch {
  DWORD processId;
  int posted;
};

BOOL CALLBACK closeWindowsOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<CloseSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && PostMessageW(window, WM_CLOSE, 0, 0)) {
    ++search->posted;
  }
  return TRUE;
}

}  // namespace

int cancelRunningCaptures() {
  // Held while posting, so an id is never used after its session has unregistered it (the id could
  // belong to another process by then). Posting does not wait for the window.
  std::lock_guard<std::mutex> hold(registryLock());
  int cancelled = 0;
  for (DWORD processId : registry()) {
    CloseSearch search{processId, 0};
    EnumWindows(closeWindowsOf, reinterpret_cast<LPARAM>(&search));
    if (search.posted > 0) ++cancelled;
  }
  return cancelled;
}

RunningCapture::RunningCapture(DWORD processId) : processId_(processId) {
  std::lock_guard<std::mutex> hold(registryLock());
  registry().push_back(processId);
}

void RunningCapture::end() noexcept {
  if (processId_ == 0) return;
  std::lock_guard<std::mutex> hold(registryLock());
  std::vector<DWORD>& ids = registry();
  const auto at = std::find(ids.begin(), ids.end(), processId_);
  if (at != ids.end()) ids.erase(at);
  processId_ = 0;
}
