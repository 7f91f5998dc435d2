// json_writer_test.cpp: separators, nesting and string escaping of the report's JSON writer.
#include "json_writer.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonWriter, PlacesCommasBetweenMembersAndElementsOnly) {
  JsonWriter w;
  w.beginObject();
  w.key("a").number(std::int64_t{1});
  w.key("b").beginArray().boolean(true).null().beginObject().endObject().beginArray().endArray().endArray();
  w.key("c").stringOrNull("");
  w.key("d").stringOrNull("x");
  w.key("ms").number(1.23456, 3);
  w.endObject();
  EXPECT_EQ(w.text(), R"({"a":1,"b":[true,null,{},[]],"c":null,"d":"x","ms":1.235})");
}

TEST(JsonWriter, EscapesStrings) {
  struct Case {
    const char* name;
    std::string in, out;
  };
  const Case cases[] = {
      {"Windows path", "C:\\velmar\\capture", R"("C:\\velmar\\capture")"},
      {"quote", "a\"b", R"("a\"b")"},
      {"controls", std::string("\n\r\t\x01", 4), R"("\n\r\t\u0001")"},
      {"NUL", std::string("a\0b", 3), R"("a\u0000b")"},
      {"UTF-8 kept", "Peña ü €", "\"Peña ü €\""},
      {"stray continuation byte", "a\x80z", R"("a\ufffdz")"},
      {"cut sequence", "\xC3", R"("\ufffd")"},
      {"overlong form", "\xC0\xAF", R"("\ufffd\ufffd")"},
      {"surrogate", "\xED\xA0\x80", R"("\ufffd\ufffd\ufffd")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(jsonQuote(c.in), c.out);
  }
}

TEST(JsonWriter, NonFiniteNumbersBecomeNull) {
  JsonWriter w;
  w.beginArray().number(1.0 / 0.0 * 0.0, 2).endArray();
  EXPECT_EQ(w.text(), "[null]");
}

}  // namespace
