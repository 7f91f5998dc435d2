// arguments.h: the numbers of the wsq program's command lines.
#pragma once

#include <string>

namespace wsq_tool {

// A side of an image: a whole number from 1 to 65535, digits only.
bool parseSide(const std::string& text, int& value);

// A bit rate: a finite number above 0 and at most 64.
bool parseBitRate(const std::string& text, float& value);

}  // namespace wsq_tool
