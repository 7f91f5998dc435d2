// running_probe_win.cpp: OpenMutexW on each capture application's mutex name.
#include "running_probe_win.h"

#include <windows.h>

#include "capture_app_table.h"
#include "win/utf8_wide.h"
#include "win/unique_handle.h"

std::vector<MutexFacts> probeRunningCaptures() {
  std::vector<MutexFacts> out;
  for (const CaptureAppTraits& app : captureAppTable()) {
    MutexFacts m{app.mutex, app.fileName, false};
    velmar::win::UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, velmar::win::wideFromUtf8(app.mutex).c_str()));
    // A mutex that exists but may not be opened by this user is held as well.
    m.held = static_cast<bool>(mutex) || GetLastError() == ERROR_ACCESS_DENIED;
    out.push_back(m);
  }
  return out;
}
