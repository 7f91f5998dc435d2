// timeout_thread.cpp: the timeout thread's body: sleep in steps until the limit or a cancel.
#include "timeout_thread.h"

#include <windows.h>

#include "device_manager.h"
#include "result_codes.h"

namespace one {

void TimeoutThread::run() {
  if (!manager) return;
  if (manager->log) manager->log->debug(L"Thread de timeout iniciado (%d).", static_cast<int>(timeoutMs));
  const DWORD start = GetTickCount();
  if (!cancelRequested) {
    DWORD elapsed = 0;
    while (elapsed < static_cast<DWORD>(timeoutMs)) {
      Sleep(static_cast<DWORD>(stepMs));
      elapsed = GetTickCount() - start;  // unsigned: right across the tick counter's wrap
      if (cancelRequested) break;
    }
  }
  if (!cancelRequested) {
    manager->abortCapture();
    // The window may have delivered meanwhile (the close came just after the last check): that
    // result stays.
    if (!manager->setResultCode(DEV_ERR_TIMEOUT) && manager->log)
      manager->log->debug(L"Timeout tras la entrega del resultado; se conserva el resultado entregado.");
  }
  if (manager->log) manager->log->debug(L"Thread de timeout finalizado.");
}

}  // namespace one
