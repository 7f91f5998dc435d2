// diagnostic_facts.cpp: small helpers of the diagnostics records.
#include "diagnostic_facts.h"

#include <algorithm>
#include <cctype>

std::string AppFacts::fileName() const {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string asciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool describesStandIn(const std::string& fileDescription) {
  return asciiLower(fileDescription).find("stand-in") != std::string::npos;
}
