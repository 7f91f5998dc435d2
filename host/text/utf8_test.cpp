#include "utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Utf8ToUtf16, ValidForms) {
  struct Case {
    const char* name;
    std::string in;
    std::u16string want;
  };
  const Case cases[] = {
      {"empty", "", u""},
      {"ascii", "abc", u"abc"},
      {"two bytes", "\xC3\xB1", u"\u00F1"},
      {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
      {"last before surrogates", "\xED\x9F\xBF", u"\uD7FF"},
      {"first after surrogates", "\xEE\x80\x80", u"\uE000"},
      {"four bytes", "\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},
      {"highest", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
      {"overlong zero", "\xC0\x80", std::u16string(1, u'\0')},
      {"overlong slash", "\xE0\x80\xAF", u"/"},
      {"mixed", "a\xC3\xA1" "b", u"a\u00E1b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(utf8ToUtf16(c.in), c.want);
  }
}

TEST(Utf8ToUtf16, InvalidFormsFailWithoutPartialResult) {
  const char* cases[] = {
      "\xC3",              // lone lead byte at the end
      "\x80",              // continuation byte alone
      "a\xBF",             // continuation byte after a character
      "\xED\xA0\x80",      // surrogate
      "\xED\xBF\xBF",      // surrogate
      "\xF8\x88\x80\x80",  // five-byte lead
      "\xFF",
      "\xC3\x41",          // continuation byte missing
      "\xE2\x82",          // truncated three-byte form
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xF7\xBF\xBF\xBF",
  };
  for (const char* in : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(in)));
    try {
      utf8ToUtf16(in);
      ADD_FAILURE() << "accepted";
    } catch (const std::logic_error& e) {
      EXPECT_STREQ(e.what(), "not a UTF-8 string");
    }
  }
}

}  // namespace
