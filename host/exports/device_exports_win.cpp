// device_exports_win.cpp: the C++ entry points capture and toJsonString. Built into velmar-device.dll
// (whose .def file exports them) and into the test programs that link the host.
#include "device_exports.h"

#include "capture_executor_win.h"
#include "json_result_win.h"

std::int32_t capture(const biodevice& device, const biodeviceInput& input, biodeviceOutput& output) {
  return runCapture(device, input, output);
}

void toJsonString(const biodeviceOutput& output, std::string exitCode, std::string& json) {
  jsonFromOutput(output, exitCode, json);
}
