#include "basen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string encode(const std::string& bytes) {
  std::string out;
  base64Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out);
  return out;
}

TEST(Base64Encode, KnownTextsWithoutPadding) {
  struct Case {
    std::string in, want;
  };
  const Case cases[] = {
      {"abc", "YWJj"},
      {"ab", "YWI"},
      {"a", "YQ"},
      {"", ""},
      {"\xFF\xFF\xFF", "////"},
      {"\xFB\xFF", "+/8"},
      {std::string("\0\0\0\0", 4), "AAAAAA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(encode(c.in), c.want);
  }
}

TEST(Base64Encode, AppendsToWhatTheTextHolds) {
  std::string out = "x=";
  const std::uint8_t bytes[] = {'a', 'b', 'c'};
  base64Encode(bytes, 3, out);
  EXPECT_EQ(out, "x=YWJj");
}

TEST(Base64Encode, LengthIsCeilingOfEightNOverSix) {
  std::string bytes;
  for (std::size_t n = 0; n < 40; ++n) {
    EXPECT_EQ(encode(bytes).size(), (8 * n + 5) / 6) << n;
    bytes += static_cast<char>(n * 37);
  }
}

}  // namespace
