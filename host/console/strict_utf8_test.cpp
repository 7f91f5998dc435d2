#include "strict_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IsStrictUtf8, Table) {
  struct Case {
    const char* name;
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"empty", "", true},
      {"ascii and nul", std::string("a\0b", 3), true},
      {"two bytes", "\xC3\xB1", true},
      {"lowest two-byte", "\xC2\x80", true},
      {"lowest three-byte", "\xE0\xA0\x80", true},
      {"last before surrogates", "\xED\x9F\xBF", true},
      {"first after surrogates", "\xEE\x80\x80", true},
      {"lowest four-byte", "\xF0\x90\x80\x80", true},
      {"highest", "\xF4\x8F\xBF\xBF", true},
      {"lone continuation", "\x80", false},
      {"cut two-byte", "a\xC3", false},
      {"cut four-byte", "\xF0\x9F\x98", false},
      {"bad continuation", "\xC3\x41", false},
      {"overlong nul", "\xC0\x80", false},
      {"overlong two-byte", "\xC1\xBF", false},
      {"overlong three-byte", "\xE0\x9F\xBF", false},
      {"overlong four-byte", "\xF0\x8F\xBF\xBF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"last surrogate", "\xED\xBF\xBF", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", false},
      {"FF", "\xFF", false},
      {"latin-1 byte", "\xF1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isStrictUtf8(c.text), c.valid);
  }
}

}  // namespace
