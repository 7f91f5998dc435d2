// json_result_win.h: the JSON line of a capture's output: WSQ in base64, the BMP as a JPEG in base64.
#pragma once

#include <string>

#include "biodevice.h"

// The body of the exported toJsonString; never throws.
void jsonFromOutput(const biodeviceOutput& output, const std::string& exitCode, std::string& json) noexcept;
