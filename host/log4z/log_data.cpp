#include "log_data.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmar::log4z {

std::size_t appendContent(LogData& record, std::string_view text) {
  const int used = std::clamp(record.contentLength, 0, kLogContentSize);
  const std::size_t room = static_cast<std::size_t>(kLogContentSize - used);
  const std::size_t n = std::min(room, text.size());
  if (n > 0) std::memcpy(record.content + used, text.data(), n);
  record.contentLength = used + static_cast<int>(n);
  return n;
}

std::string_view sourceBaseName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

void appendSourceLocation(LogData& record, std::string_view file, int line) {
  char number[16];
  std::snprintf(number, sizeof number, ":%d", line);
  appendContent(record, " ");
  appendContent(record, sourceBaseName(file));
  appendContent(record, number);
}

void finishLine(LogData& record) {
  int used = std::clamp(record.contentLength, 0, kLogContentSize);
  if (kLogContentSize - used < 3) used = kLogContentSize - 3;
  record.content[used++] = '\r';
  record.content[used++] = '\n';
  record.content[used] = '\0';
  record.contentLength = used;
}

}  // namespace velmar::log4z
