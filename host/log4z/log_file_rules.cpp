#include "log_file_rules.h"

#include <algorithm>
#include <cstdio>

#include "log_line_header.h"

namespace velmar::log4z {
namespace {

constexpr std::size_t kKeptFiles = 7;

}  // namespace

std::uint64_t limitSizeBytes(std::uint32_t megabytes) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(megabytes) * 1048576ULL;
  return std::min(bytes, kMaxLimitBytes);
}

FileChoice chooseFile(std::int64_t lineSeconds, std::int64_t dayMidnight, std::uint64_t limitBytes,
                      std::uint64_t written) {
  if (!isWithinDay(dayMidnight, lineSeconds)) return FileChoice::NewDay;
  if (limitBytes < written) return FileChoice::NextIndex;
  return FileChoice::Keep;
}

std::string logFileDirectory(std::string_view path, bool monthdir, const LocalDateTime& created) {
  std::string dir(path);
  if (monthdir) {
    char month[32];
    std::snprintf(month, sizeof month, "%04d_%02d/", created.year, created.month);
    dir += month;
  }
  return dir;
}

std::string logFileName(std::string_view directory, std::string_view processName,
                        std::string_view loggerName, const LocalDateTime& created,
                        std::string_view pidText, unsigned index) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d", created.year, created.month,
                created.day, created.hour, created.minute);
  char roll[16];
  std::snprintf(roll, sizeof roll, "%03u", index);
  std::string name(directory);
  name.append(processName).append("_").append(loggerName).append("_").append(stamp);
  name.append("_").append(pidText).append("_").append(roll).append(".log");
  return name;
}

std::string pidText(unsigned long pid) {
  char text[32];
  std::snprintf(text, sizeof text, "%06lu", pid);
  return text;
}

std::vector<std::string> directoryLevels(std::string_view directory) {
  std::vector<std::string> levels;
  std::size_t start = 0;
  while (start <= directory.size()) {
    std::size_t end = directory.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = directory.size();
    const std::string_view part = directory.substr(start, end - start);
    const bool drive = start == 0 && part.size() == 2 && part[1] == ':';
    if (!part.empty() && part != "." && part != ".." && !drive) {
      levels.emplace_back(directory.substr(0, end));
    }
    start = end + 1;
  }
  return levels;
}

std::vector<std::string> pruneRememberedFiles(std::deque<RememberedFile>& files, std::int64_t now,
                                              std::int64_t reserve) {
  std::vector<std::string> forgotten;
  if (reserve <= 0) return forgotten;
  while (files.size() > kKeptFiles && files.front().created < now - reserve) {
    forgotten.push_back(std::move(files.front().name));
    files.pop_front();
  }
  return forgotten;
}

void rememberFile(std::deque<RememberedFile>& files, const std::string& name, std::int64_t now) {
  if (!files.empty() && files.back().name == name) return;
  files.push_back({name, now});
}

}  // namespace velmar::log4z
