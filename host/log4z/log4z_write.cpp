#include "log4z_write.h"

#include "log4z.h"
#include "loger_manager.h"

namespace velmar::log4z {

bool writeLine(ILog4zManager& manager, int id, int level, std::string_view text, const char* file,
               int line) noexcept {
  try {
    if (!manager.acceptsLevel(id, level)) return false;
    LogData* record = manager.newLogData(id, level);
    if (!record) return false;
    appendContent(*record, text);
    return manager.submit(record, file, line);
  } catch (...) {
    return false;
  }
}

bool log4zWrite(int level, std::string_view text, const char* file, int line) noexcept {
  try {
    return writeLine(*ILog4zManager::getInstance(), 0, level, text, file, line);
  } catch (...) {
    return false;
  }
}

bool startHostLog(std::string_view folder) noexcept {
  try {
    ILog4zManager& log = *ILog4zManager::getInstance();
    log.setLevel(0, LOG_DEBUG);
    log.setPath(0, folder);
    log.setName(0, "");
    log.setFileLine(0, false);
    log.setDisplay(0, false);
    return log.start();
  } catch (...) {
    return false;
  }
}

bool stopHostLog() noexcept {
  try {
    return static_cast<LogerManager*>(ILog4zManager::getInstance())->drain(10000);
  } catch (...) {
    return false;
  }
}

}  // namespace velmar::log4z
