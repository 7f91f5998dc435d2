// diagnostic_facts.cpp: small helpers of the diagnostics records.
#include "diagnostic_facts.h"

std::string AppFacts::fileName() const {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
