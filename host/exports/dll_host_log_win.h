// dll_host_log_win.h: the host log of velmar-device.dll. Its writer thread runs while a capture of the
// DLL runs: it starts with the first (never in DllMain) and stops, every line written and the file
// closed, when the last one ends. So a process that ends, or unloads the DLL, while no capture runs
// leaves a whole log and no thread of the DLL behind.
#pragma once

class DllHostLogScope {
 public:
  DllHostLogScope() noexcept;
  ~DllHostLogScope();
  DllHostLogScope(const DllHostLogScope&) = delete;
  DllHostLogScope& operator=(const DllHostLogScope&) = delete;
};
