// delivery_check.h: whether a capture application's response and image streams are a whole capture.
// Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Empty when `wsq` is one whole WSQ file (the WSQ library's stream check) and `bmp` a BMP the host's
// BMP check accepts; otherwise the log text naming what is wrong, "response is not a whole WSQ: ..."
// or "image is not a whole BMP: ...".
std::string deliveryFault(const std::vector<std::uint8_t>& wsq, const std::vector<std::uint8_t>& bmp);
