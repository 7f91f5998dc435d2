// decimal.h: reading a 32-bit decimal number the way the standard string-to-int conversion does
// (leading white space and a sign allowed, reading stops at the first non-digit), with the outcome as a
// value instead of the library's exception texts, which differ between standard libraries.
#pragma once

#include <cstdint>
#include <string_view>

struct DecimalParse {
  enum Status { kOk, kNoNumber, kOutOfRange } status = kNoNumber;
  std::int32_t value = 0;
};

DecimalParse parseDecimal(std::string_view text);
