// log4z_write.h: how host code writes one line, and the host's set-up of its main logger.
// Any thread. Nothing here throws or reports failure to the caller: a line that cannot be written
// is dropped.
#pragma once

#include <string_view>

#include "log_levels.h"

namespace velmar::log4z {

class ILog4zManager;

// acceptsLevel(id, level); if true, newLogData(id, level), append the text (cut to the record's
// content area), submit(record, file, line). True when the line was queued.
bool writeLine(ILog4zManager& manager, int id, int level, std::string_view text,
               const char* file = nullptr, int line = 0) noexcept;

// writeLine on the main logger (id 0) of the process's manager.
bool log4zWrite(int level, std::string_view text, const char* file = nullptr, int line = 0) noexcept;

// The host's configuration of the main logger: setLevel(0, LOG_DEBUG), setPath(0, folder) (UTF-8),
// setName(0, "") (the name stays "Main"), setFileLine(0, false), setDisplay(0, false), then start().
// Returns start()'s result.
bool startHostLog(std::string_view folder) noexcept;

// Ends the writer thread once every queued line is written and closes the files, without a console
// notice (a library must not write into its caller's console). Waits at most 10 s; false when the
// writer did not end in that time. The log can be started again afterwards.
bool stopHostLog() noexcept;

}  // namespace velmar::log4z
