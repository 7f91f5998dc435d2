#include "capture_command.h"

#include <stdexcept>

#include "decimal.h"

void validateInput(biodeviceInput& input, CommandText text) {
  if (input.message.size() > MESSAGE_LIMIT) {
    std::size_t keep = MESSAGE_LIMIT;
    if (text == CommandText::kUtf8) {
      // Back to the start of the character the limit falls into (continuation bytes are 10xxxxxx).
      while (keep > 0 && (static_cast<unsigned char>(input.message[keep]) & 0xC0) == 0x80) --keep;
    }
    input.message.resize(keep);
  }

  const DecimalParse timeout = parseDecimal(input.timeout);
  if (timeout.status != DecimalParse::kOk) {
    throw std::runtime_error("invalid biodeviceInput.timeout='" + input.timeout + "'");
  }
  const int ms = timeout.value < MIN_TIMEOUT_MS || timeout.value > MAX_TIMEOUT_MS ? DEFAULT_TIMEOUT_MS : timeout.value;
  input.timeout = std::to_string(ms);

  const std::string& level = input.debugLevel;
  const bool validLevel = level.size() == 1 && level[0] >= '0' && level[0] <= '4';
  if (!validLevel) input.debugLevel = DEFAULT_DEBUG_LEVEL;

  if (input.wsqPipeName.empty()) input.wsqPipeName = DEFAULT_WSQ_PIPE_NAME;
  if (input.bmpPipeName.empty()) input.bmpPipeName = DEFAULT_BMP_PIPE_NAME;
}

std::string quoteArgument(const std::string& text) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  // Backslashes before the closing quote would escape it: double them.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::string makeCommandLine(const biodevice& device, const biodeviceInput& input) {
  std::string line = "\"" + device.command + "\"";
  if (input.debugLevel != DEFAULT_DEBUG_LEVEL) line += " -v " + input.debugLevel;
  if (!input.message.empty()) line += " -lci " + quoteArgument(input.message);
  if (!input.timeout.empty()) line += " -t " + input.timeout;
  if (input.wsqPipeName.empty()) throw std::runtime_error("didn't specify the response pipe name");
  line += " -p \"" + input.wsqPipeName + "\"";
  if (input.bmpPipeName.empty()) throw std::runtime_error("didn't specify the image pipe name");
  line += " -bp \"" + input.bmpPipeName + "\"";
  line += " -h";
  return line;
}
