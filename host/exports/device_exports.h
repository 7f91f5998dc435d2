// device_exports.h: the two functions velmar-device exports to its callers. Neither lets an exception
// out: capture turns every failure into a result code, toJsonString into a logged warning.
#pragma once

#include <cstdint>
#include <string>

#include "biodevice.h"

#define VELMAR_DEVICE_EXPORT extern "C" __declspec(dllexport)

// Runs one capture with the capture application named by device.command and returns its result code,
// which is also left in output.exitCode together with the WSQ and BMP bytes received.
VELMAR_DEVICE_EXPORT std::int32_t capture(const biodevice& device, const biodeviceInput& input,
                                          biodeviceOutput& output);

// Replaces json by the JSON line of output ("error" and "solution" empty) with exitCode as given; on a
// failure (for example a BMP that is not valid) logs a warning and leaves json as it was.
VELMAR_DEVICE_EXPORT void toJsonString(const biodeviceOutput& output, std::string exitCode, std::string& json);
