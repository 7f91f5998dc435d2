// arguments.cpp: parsing of sides and bit rates.
#include "arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace wsq_tool {

bool parseSide(const std::string& text, int& value) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  value = std::atoi(text.c_str());
  return value >= 1 && value <= 65535;
}

bool parseBitRate(const std::string& text, float& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  if (!std::isfinite(v) || v <= 0.0 || v > 64.0) return false;
  value = static_cast<float>(v);
  return true;
}

}  // namespace wsq_tool
