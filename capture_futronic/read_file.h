// read_file.h: reads a whole file into a byte vector (start-up uses it for "logo.bmp").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace one {

// Fails if the name is empty, the vector is not empty, or the file cannot be opened or read.
bool readFile(const std::wstring& fileName, std::vector<std::uint8_t>& bytes);

}  // namespace one
