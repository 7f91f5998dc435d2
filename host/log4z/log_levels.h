// log_levels.h: the seven levels of the host log, their names in a line and their console colours.
// Portable; constant data only.
#pragma once

namespace velmar::log4z {

constexpr int LOG_TRACE = 0;
constexpr int LOG_DEBUG = 1;
constexpr int LOG_INFO = 2;
constexpr int LOG_WARN = 3;
constexpr int LOG_ERROR = 4;
constexpr int LOG_ALARM = 5;
constexpr int LOG_FATAL = 6;

// True for LOG_TRACE..LOG_FATAL, the levels a line may carry.
constexpr bool isKnownLevel(int level) { return level >= LOG_TRACE && level <= LOG_FATAL; }

// "LOG_TRACE".."LOG_FATAL"; an empty text for a level outside the table (such a line is refused
// before it is written, the name only must not be read out of bounds).
const char* levelName(int level);

// Windows console text attribute of a level's lines; -1 when the line keeps the console's colour.
int levelColour(int level);

}  // namespace velmar::log4z
