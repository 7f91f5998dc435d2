// device_exports.h: the two C++ functions velmar-device.dll exports to callers built with the same
// compiler and C++ library (the records are C++ types); callers in other languages use the C interface
// of velmar_device.h. Neither lets an exception out: capture turns every failure into a result code,
// toJsonString into a logged warning. The export list is velmar-device-dll.def.
#pragma once

#include <cstdint>
#include <string>

#include "biodevice.h"

#define VELMAR_DEVICE_EXPORT extern "C"

// Runs one capture with the capture application named by device.command and returns its result code,
// which is also left in output.exitCode together with the WSQ and BMP bytes received. The 8-bit texts
// are read in the ANSI code page.
VELMAR_DEVICE_EXPORT std::int32_t capture(const biodevice& device, const biodeviceInput& input,
                                          biodeviceOutput& output);

// Replaces json by the JSON line of output ("error" and "solution" empty) with exitCode as given; on a
// failure (for example a BMP that is not valid) logs a warning and leaves json as it was.
VELMAR_DEVICE_EXPORT void toJsonString(const biodeviceOutput& output, std::string exitCode, std::string& json);
