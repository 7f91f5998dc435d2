#include "request_line.h"

#include "utf8.h"

namespace {

// Width of `word":"` before a value, of `","` between the values, and of `"}` after the last one.
constexpr std::size_t kBeforeValue = 10;
constexpr std::size_t kBetweenValues = 3;
constexpr std::size_t kAfterLast = 2;

}  // namespace

ConsoleRequest cutRequestLine(std::string_view line) {
  const std::size_t c = line.find("command");
  const std::size_t m = line.find("message");
  if (c == std::string_view::npos) throw RequestLineError("the request line has no \"command\"");
  if (m == std::string_view::npos) throw RequestLineError("the request line has no \"message\"");

  const std::size_t commandStart = c + kBeforeValue;
  const std::size_t messageStart = m + kBeforeValue;
  // The command ends where `","message` begins; the message ends before the closing `"}`.
  if (m < commandStart + kBetweenValues || line.size() < messageStart + kAfterLast) {
    throw RequestLineError("the request line is not {\"command\":\"...\",\"message\":\"...\"}");
  }
  ConsoleRequest request;
  request.command = std::string(line.substr(commandStart, m - kBetweenValues - commandStart));
  request.message = std::string(line.substr(messageStart, line.size() - kAfterLast - messageStart));
  return request;
}

std::string reduceToLatin1(std::string_view utf8Message) {
  const std::u16string wide = utf8ToUtf16(utf8Message);
  std::string bytes;
  bytes.reserve(wide.size());
  for (const char16_t unit : wide) {
    const char low = static_cast<char>(unit & 0xFF);
    const bool breaksCommandLine = low == '\0' || (unit > 0xFF && (low == '"' || low == '\\'));
    bytes.push_back(breaksCommandLine ? '?' : low);
  }
  return bytes;
}
