// capture_thread.cpp: the capture thread's body.
#include "capture_thread.h"

#include "device_manager.h"

namespace one {

void CaptureThread::run() {
  if (!manager) return;
  if (manager->log) manager->log->debug(L"Thread de captura iniciado.");
  manager->captureLoop();  // ends by posting the close message to the window
  if (manager->log) manager->log->debug(L"Thread de captura finalizado.");
}

}  // namespace one
