// json_result_win.h: the JSON line of a capture's output: WSQ in base64, the BMP as a JPEG in base64.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "biodevice.h"

// The body of the exported toJsonString; never throws. On a failure json is left as it was, the fault
// is logged at LOG_WARN as "error json to string: <text>" and returned; empty on success.
std::string jsonFromOutput(const biodeviceOutput& output, const std::string& exitCode, std::string& json) noexcept;

// The image encoder jsonFromOutput uses for the JPEG step (encodeImage unless replaced). Tests replace
// it to make that step fail. Returns the one it replaces.
using ImageEncoder = std::vector<std::uint8_t> (*)(const std::vector<std::uint8_t>& bmp, const std::wstring& mimeType);
ImageEncoder setImageEncoder(ImageEncoder encoder) noexcept;
