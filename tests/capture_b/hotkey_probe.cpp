// hotkey_probe.cpp: tries to take the Print Screen hot key, for tests. Exit code 0 when it could be
// registered (and releases it again), otherwise the system error (1409: held by another window).
#include <windows.h>

int main() {
  if (!RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT)) return static_cast<int>(GetLastError());
  UnregisterHotKey(nullptr, 1);
  return 0;
}
