#include "log_levels.h"

namespace velmar::log4z {
namespace {

struct LevelEntry {
  const char* name;
  int colour;
};

constexpr LevelEntry kLevels[] = {
    {"LOG_TRACE", -1}, {"LOG_DEBUG", -1}, {"LOG_INFO", 3},  {"LOG_WARN", 6},
    {"LOG_ERROR", 4},  {"LOG_ALARM", 2},  {"LOG_FATAL", 5},
};

}  // namespace

const char* levelName(int level) { return isKnownLevel(level) ? kLevels[level].name : ""; }

int levelColour(int level) { return isKnownLevel(level) ? kLevels[level].colour : -1; }

}  // namespace velmar::log4z
