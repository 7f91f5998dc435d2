#include "allowed_origins.h"

#include <algorithm>
#include <cctype>

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool isHostChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '-' || c == '.' || c == '_';
}

std::string_view trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The port's digits as a number in 1..65535, or 0.
unsigned portNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return 0;
  unsigned value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= 65535 ? value : 0;
}

}  // namespace

std::optional<std::string> normaliseOrigin(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.back() == '/') text.remove_suffix(1);
  std::string scheme;
  unsigned defaultPort = 0;
  const auto startsWith = [&](std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return a == lower(b); });
  };
  if (startsWith("http://")) {
    scheme = "http://";
    defaultPort = 80;
  } else if (startsWith("https://")) {
    scheme = "https://";
    defaultPort = 443;
  } else {
    return std::nullopt;
  }
  std::string_view rest = text.substr(scheme.size());

  std::string host;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close < 3) return std::nullopt;
    for (char c : rest.substr(1, close - 1)) {
      if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return std::nullopt;
      host += lower(c);
    }
    host = "[" + host + "]";
    rest.remove_prefix(close + 1);
  } else {
    std::size_t end = 0;
    while (end < rest.size() && isHostChar(rest[end])) host += lower(rest[end++]);
    if (host.empty() || host.front() == '.' || host.back() == '.') return std::nullopt;
    rest.remove_prefix(end);
  }

  std::string port;
  if (!rest.empty()) {
    if (rest.front() != ':') return std::nullopt;  // a path, query, user information or wildcard
    const unsigned number = portNumber(rest.substr(1));
    if (number == 0) return std::nullopt;
    if (number != defaultPort) port = ":" + std::to_string(number);
  }
  return scheme + host + port;
}

OriginsText readOriginsText(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  OriginsText read;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (std::optional<std::string> origin = normaliseOrigin(line)) {
      read.origins.push_back(std::move(*origin));
    } else {
      read.refused.emplace_back(line);
    }
  }
  return read;
}

OriginsText readOriginsList(std::string_view list) {
  std::string lines(list);
  for (char& c : lines) {
    if (c == ',' || c == ';' || c == ' ' || c == '\t') c = '\n';
  }
  return readOriginsText(lines);
}

std::string originsFileText(const std::vector<std::string>& origins) {
  std::string text = "# Web pages allowed to call velmar-device --serve, one origin a line (written by the installer)\r\n";
  for (const std::string& origin : origins) text += origin + "\r\n";
  return text;
}

bool originAllowed(std::string_view received, const std::vector<std::string>& allowed) {
  return std::find(allowed.begin(), allowed.end(), received) != allowed.end();
}
