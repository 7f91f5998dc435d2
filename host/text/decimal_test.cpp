#include "decimal.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseDecimal, ReadsLikeTheStandardConversion) {
  struct Case {
    const char* in;
    DecimalParse::Status status;
    std::int32_t value;
  };
  const Case cases[] = {
      {"0", DecimalParse::kOk, 0},
      {"  \t203", DecimalParse::kOk, 203},
      {"+45000", DecimalParse::kOk, 45000},
      {"-7", DecimalParse::kOk, -7},
      {"00208", DecimalParse::kOk, 208},
      {"30000abc", DecimalParse::kOk, 30000},
      {"2147483647", DecimalParse::kOk, 2147483647},
      {"-2147483648", DecimalParse::kOk, -2147483647 - 1},
      {"2147483648", DecimalParse::kOutOfRange, 0},
      {"-2147483649", DecimalParse::kOutOfRange, 0},
      {"99999999999999999999999", DecimalParse::kOutOfRange, 0},
      {"", DecimalParse::kNoNumber, 0},
      {"abc", DecimalParse::kNoNumber, 0},
      {"-", DecimalParse::kNoNumber, 0},
      {"+ 5", DecimalParse::kNoNumber, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    const DecimalParse got = parseDecimal(c.in);
    EXPECT_EQ(got.status, c.status);
    if (c.status == DecimalParse::kOk) {
      EXPECT_EQ(got.value, c.value);
    }
  }
}

}  // namespace
