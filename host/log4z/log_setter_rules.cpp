#include "log_setter_rules.h"

namespace velmar::log4z {

std::string normalisedPath(std::string_view path) {
  std::string stored(path);
  if (stored.empty() || (stored.back() != '/' && stored.back() != '\\')) stored += '/';
  return stored;
}

}  // namespace velmar::log4z
