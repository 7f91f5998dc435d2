#include "request_line.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(CutRequestLine, ValuesByPosition) {
  struct Case {
    const char* name;
    const char* line;
    const char* command;
    const char* message;
  };
  const Case cases[] = {
      {"usual", R"({"command":"C:\\app\\capture.exe","message":"Coloque el dedo"})", R"(C:\\app\\capture.exe)",
       "Coloque el dedo"},
      {"both empty", R"({"command":"","message":""})", "", ""},
      {"escapes kept", R"({"command":"a\"b","message":"x\\y\u00f1"})", R"(a\"b)", R"(x\\y\u00f1)"},
      {"utf-8 kept", "{\"command\":\"c\",\"message\":\"\xC3\xB1\xC3\xA1\"}", "c", "\xC3\xB1\xC3\xA1"},
      // Nothing but the positions counts: a third member ends up in the message.
      {"third member", R"({"command":"c","message":"m","x":"y"})", "c", R"(m","x":"y)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ConsoleRequest request = cutRequestLine(c.line);
    EXPECT_EQ(request.command, c.command);
    EXPECT_EQ(request.message, c.message);
  }
}

TEST(CutRequestLine, RefusesLinesThePositionsDoNotFit) {
  const char* const lines[] = {
      "",
      R"({"message":"m"})",                  // no command
      R"({"command":"c"})",                  // no message
      R"({"message":"m","command":"c"})",    // message before command
      R"({"command":"c","message")",         // message value would start past the end
      R"({"command":"c","message":")",       // one character short of the closing quote and brace
      R"({"command":"message":"m"})",        // command would have a negative length
      "commandmessage",
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    EXPECT_THROW(cutRequestLine(line), RequestLineError);
  }
}

TEST(ReduceToLatin1, KeepsTheLowByteOfEachUnit) {
  struct Case {
    const char* name;
    std::string in;
    std::string want;
  };
  const Case cases[] = {
      {"ascii", "Coloque el dedo", "Coloque el dedo"},
      {"latin-1", "\xC3\xB1 \xC3\xA1 \xC3\xBF", "\xF1 \xE1 \xFF"},
      {"above U+00FF", "\xE2\x82\xAC", "\xAC"},  // U+20AC
      {"empty", "", ""},
      // Units whose byte would cut or unquote the command line the message travels in.
      {"surrogate pair", "\xF0\x9F\x98\x80", "=?"},                       // D83D DE00
      {"U+0100 and U+4E00", "\xC4\x80\xE4\xB8\x80", "??"},
      {"NUL", std::string("a\0b", 3), "a?b"},
      {"overlong NUL", "a\xC0\x80", "a?"},
      {"U+0122 and U+015C", "\xC4\xA2\xC5\x9C", "??"},
      {"quote and backslash kept", "\"\\", "\"\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reduceToLatin1(c.in), c.want);
  }
}

TEST(ReduceToLatin1, RefusesTextThatIsNotUtf8) {
  for (const char* in : {"\xF1", "a\xC3", "\xED\xA0\x80"}) {
    SCOPED_TRACE(in);
    try {
      reduceToLatin1(in);
      ADD_FAILURE() << "no error";
    } catch (const std::logic_error& e) {
      EXPECT_STREQ(e.what(), "not a UTF-8 string");
    }
  }
}

}  // namespace
