// basen.h: base64 without padding or line breaks, as the JSON line carries its binary members.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Appends ceil(8n/6) symbols of the standard alphabet for the n bytes at data; a last incomplete
// 6-bit group is filled with zero bits and no "=" is written.
void base64Encode(const std::uint8_t* data, std::size_t size, std::string& out);
