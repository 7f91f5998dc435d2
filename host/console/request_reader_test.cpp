#include "request_reader.h"

#include <gtest/gtest.h>

namespace {

struct ReadCase {
  const char* name;
  std::string line;
  std::string command, message;
  CommandText text;
  std::string timeout = "15000", debugLevel = "4";
};

TEST(ReadRequestLine, JsonAndPositionalLines) {
  const CommandText json = CommandText::kUtf8, cut = CommandText::kAnsi;
  const ReadCase cases[] = {
      {"compact JSON", R"({"command":"C:\\velmar\\a.exe","message":"Coloque el dedo"})", R"(C:\velmar\a.exe)",
       "Coloque el dedo", json},
      // What python3's json.dumps writes by default: blanks after the separators, \u escapes.
      {"json.dumps", R"({"command": "C:\\velmar\\a.exe", "message": "Coloque el dedo \u00edndice"})",
       R"(C:\velmar\a.exe)", "Coloque el dedo \xC3\xADndice", json},
      {"ensure_ascii off", "{\"command\": \"c\", \"message\": \"\xC3\xAD \xE2\x82\xAC\"}", "c",
       "\xC3\xAD \xE2\x82\xAC", json},
      {"members reordered", R"({"message":"m","command":"c"})", "c", "m", json},
      {"surrogate pair", R"({"command":"c","message":"\ud83d\ude00"})", "c", "\xF0\x9F\x98\x80", json},
      {"escapes", R"({"command":"c\/d","message":"a \"q\" b\\c\td"})", "c/d", "a \"q\" b\\c\td", json},
      {"unknown members", R"({"id":[1,{"x":null}],"command":"c","name":"n","message":"m"})", "c", "m", json},
      {"white space", " \t{ \"command\" :\n\"c\" , \"message\" : \"m\" }\r", "c", "m", json},
      {"timeout and level numbers", R"({"command":"c","message":"m","timeout":30000,"debugLevel":2})", "c", "m",
       json, "30000", "2"},
      {"timeout and level strings", R"({"command":"c","message":"m","timeout":"20000","debugLevel":"NO"})", "c",
       "m", json, "20000", "NO"},
      {"negative and float timeout", R"({"command":"c","message":"m","timeout":-5,"debugLevel":1.5})", "c", "m",
       json, "-5", "1.5"},
      {"NUL in the message", R"({"command":"c","message":"a\u0000b"})", "c", "a?b", json},
      // Lines that are no JSON request keep the positional rule and the Latin-1 message.
      {"raw single backslashes", R"({"command":"C:\velmar\a.exe","message":"m"})", R"(C:\velmar\a.exe)", "m", cut},
      {"raw path that parses as JSON", R"({"command":"C:\tools\new.exe","message":"m"})", R"(C:\tools\new.exe)",
       "m", cut},
      {"positional Latin-1", "{\"command\":\"C:\\x\",\"message\":\"\xC3\xB1\xE2\x82\xAC\"}", "C:\\x",
       "\xF1\xAC", cut},
      {"lone surrogate escape", R"({"command":"C:\x","message":"\ud800"})", "C:\\x", "\\ud800", cut},
      {"command not a string", R"({"command":"C:\x","message":"m","x":{"command":1}})", "C:\\x",
       R"(m","x":{"command":1)", cut},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const CaptureRequest read = readRequestLine(c.line);
    EXPECT_EQ(read.command, c.command);
    EXPECT_EQ(read.message, c.message);
    EXPECT_EQ(read.text, c.text);
    EXPECT_EQ(read.timeout, c.timeout);
    EXPECT_EQ(read.debugLevel, c.debugLevel);
  }
}

TEST(ReadRequestLine, RefusesLinesNeitherRuleReads) {
  struct Case {
    const char* name;
    std::string line;
    std::string why;
  };
  const Case cases[] = {
      {"timeout true", R"({"command":"c","message":"m","timeout":true})",
       R"(the request line's "timeout" is neither a string nor a number)"},
      {"debugLevel null", R"({"command":"c","message":"m","debugLevel":null})",
       R"(the request line's "debugLevel" is neither a string nor a number)"},
      {"JSON without message", R"({"command": "c"})", R"(the request line has no "message")"},
      {"empty line", "", R"(the request line has no "command")"},
      {"JSON array", R"(["command","message"])", R"(the request line is not {"command":"...","message":"..."})"},
      {"message not UTF-8", "{\"command\":\"c\",\"message\":\"\xC3\"}", "message: not a UTF-8 string"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      readRequestLine(c.line);
      ADD_FAILURE() << "read";
    } catch (const RequestLineError& e) {
      EXPECT_EQ(e.what(), c.why);
    }
  }
}

}  // namespace
