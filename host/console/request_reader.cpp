#include "request_reader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <stdexcept>

namespace {

using nlohmann::json;

// An optional member given as a string or a number, as the text the records carry.
std::string optionalText(const json& request, const char* name, const char* fallback) {
  const auto member = request.find(name);
  if (member == request.end()) return fallback;
  if (member->is_string()) return member->get<std::string>();
  if (member->is_number_integer()) return std::to_string(member->get<long long>());
  if (member->is_number_unsigned()) return std::to_string(member->get<unsigned long long>());
  if (member->is_number_float()) return member->dump();  // read up to its point by validateInput
  throw RequestLineError(std::string("the request line's \"") + name + "\" is neither a string nor a number");
}

bool holdsControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::optional<CaptureRequest> readJsonRequest(std::string_view line) {
  // No exceptions from the parser: a line that is not JSON gives a discarded value.
  const json request = json::parse(line.begin(), line.end(), nullptr, /*allow_exceptions=*/false);
  if (!request.is_object()) return std::nullopt;
  const auto command = request.find("command");
  const auto message = request.find("message");
  if (command == request.end() || message == request.end()) return std::nullopt;
  if (!command->is_string() || !message->is_string()) return std::nullopt;

  CaptureRequest read;
  read.command = command->get<std::string>();
  if (holdsControlCharacter(read.command)) return std::nullopt;
  read.message = message->get<std::string>();
  std::replace(read.message.begin(), read.message.end(), '\0', '?');
  read.timeout = optionalText(request, "timeout", REQUEST_DEFAULT_TIMEOUT);
  read.debugLevel = optionalText(request, "debugLevel", REQUEST_DEFAULT_DEBUG_LEVEL);
  read.text = CommandText::kUtf8;
  return read;
}

CaptureRequest readRequestLine(std::string_view line) {
  if (std::optional<CaptureRequest> fromJson = readJsonRequest(line)) return std::move(*fromJson);
  const ConsoleRequest cut = cutRequestLine(line);
  CaptureRequest read;
  read.command = cut.command;
  try {
    read.message = reduceToLatin1(cut.message);
  } catch (const std::logic_error& e) {
    throw RequestLineError(std::string("message: ") + e.what());
  }
  return read;
}
