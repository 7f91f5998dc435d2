// dll_exports_win.cpp: capture and toJsonString as velmar-device.dll exports them: the host's entry
// points with the DLL's host log running while they do.
#include "capture_executor_win.h"
#include "device_exports.h"
#include "dll_host_log_win.h"
#include "json_result_win.h"

std::int32_t capture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output) {
  DllHostLogScope log;
  return runCapture(device, input, output);
}

void toJsonString(const biodeviceOutput& output, std::string exitCode, std::string& json) {
  DllHostLogScope log;
  jsonFromOutput(output, exitCode, json);
}
