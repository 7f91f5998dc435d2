#include "service_answers.h"

#include <nlohmann/json.hpp>

namespace {

std::string printable(std::string_view text, std::size_t limit) {
  std::string out;
  for (char c : text.substr(0, limit)) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += (u < 0x20 || u == 0x7F) ? '?' : c;
  }
  if (text.size() > limit) out += "...";
  return out;
}

}  // namespace

std::string infoJson(std::string_view version, bool busy,
                     const std::vector<std::pair<std::string, bool>>& devicesInstalled) {
  nlohmann::json devices = nlohmann::json::array();
  for (const auto& [name, installed] : devicesInstalled) devices.push_back({{"name", name}, {"installed", installed}});
  nlohmann::json info = {{"version", std::string(version)}, {"busy", busy}, {"devices", devices}};
  return info.dump();
}

std::string cancelJson(bool cancelled) { return nlohmann::json{{"cancelled", cancelled}}.dump(); }

std::string requestLogLine(std::string_view method, std::string_view path, std::string_view origin, int status,
                           long long milliseconds, long long captureMilliseconds) {
  std::string line = "http " + printable(method, 16) + " " + printable(path, 200) + " origin " +
                     (origin.empty() ? std::string("-") : printable(origin, 200)) + " status " +
                     std::to_string(status) + " " + std::to_string(milliseconds) + " ms";
  if (captureMilliseconds >= 0) line += " (capture " + std::to_string(captureMilliseconds) + " ms)";
  return line;
}
