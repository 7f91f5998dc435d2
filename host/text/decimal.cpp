#include "decimal.h"

#include <limits>

DecimalParse parseDecimal(std::string_view text) {
  std::size_t i = 0;
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t firstDigit = i;
  // Accumulate as a magnitude, saturating just beyond the 32-bit range so long inputs cannot overflow.
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) magnitude = limit + 1;
  }
  DecimalParse result;
  if (i == firstDigit) return result;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min()) {
    result.status = DecimalParse::kOutOfRange;
    return result;
  }
  result.status = DecimalParse::kOk;
  result.value = static_cast<std::int32_t>(value);
  return result;
}
