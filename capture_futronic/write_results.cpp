// write_results.cpp: delivery of the run's outcome to the host's two pipes (window thread).
#include <cstdint>

#include "capture_processing.h"
#include "device_manager.h"
#include "pipe_ipc_manager.h"
#include "result_codes.h"
#include "result_code_names.h"

namespace one {

bool DeviceManager::writeResults() {
  std::int32_t code = 0;
  {
    // Taking the code and marking it delivered is one step: no worker thread changes it after this.
    std::lock_guard<std::mutex> hold(resultLock);
    if (delivered) {
      if (log) log->debug(L"* Resultado ya entregado, no se escribe de nuevo");
      return true;
    }
    delivered = true;
    code = resultCode;
  }
  CaptureOutput output;
  if (code == DEV_SUCCESS) {
    processCapture(capturedFrame, capturedWidth, capturedHeight, settings, log, output);
    code = output.code;
  }
  if (log) log->debug(L"* Escribiendo %ls", resultCodeName(code).c_str());
  resultCode = code;
  if (code == DEV_SUCCESS) {
    sendToPipe(log, output.wsq.data(), output.wsq.size(), settings.wsqPipeName);
    sendToPipe(log, output.bmp.data(), output.bmp.size(), settings.bmpPipeName);
  } else {
    const std::uint8_t byte = static_cast<std::uint8_t>(code & 0xFF);
    sendToPipe(log, &byte, 1, settings.wsqPipeName);
    sendToPipe(log, &byte, 1, settings.bmpPipeName);
  }
  return true;
}

}  // namespace one
