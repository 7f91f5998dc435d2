// Seeded random mutation of request lines against readRequestLine, under AddressSanitizer and
// UndefinedBehaviorSanitizer: every line either reads or is refused with a RequestLineError that says
// why; nothing else may come out, and a line read as JSON carries UTF-8 texts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "request_reader.h"
#include "utf8.h"

namespace {

TEST(ReadRequestLineFuzz, EveryLineReadsOrIsRefusedCleanly) {
  const std::string seeds[] = {
      R"({"command":"C:\\velmar\\a.exe","message":"Coloque el dedo"})",
      R"({"command": "C:\\v\\a.exe", "message": "Coloque el dedo \u00edndice \ud83d\ude00", "timeout": 30000})",
      R"({"message":"m","debugLevel":"2","command":"c","x":[1,2.5e3,{"y":null,"z":true}]})",
      R"({"command":"C:\velmar\a.exe","message":"raw"})",
      "{\"command\":\"c\",\"message\":\"\xC3\xB1\xE2\x82\xAC\"}",
      std::string(200, '[') + std::string(200, ']'),
  };
  // Pieces worth splicing in: JSON punctuation, escapes, broken UTF-8, the two key words.
  const std::string pieces[] = {"\"",  "\\",      "\\u",   "\\ud800", "\\udc00", "{",     "}",     "[",
                                "]",   ":",       ",",     "\xC3",    "\xF8",    "\xED\xA0\x80", "\0",
                                "command", "message", "timeout", "debugLevel", "1e999", "-", " "};
  std::mt19937 rng(20261210);
  int read = 0, refused = 0;
  for (int n = 0; n < 20000; ++n) {
    std::string line = seeds[n % 6];
    const int mutations = 1 + rng() % 4;
    for (int m = 0; m < mutations; ++m) {
      const std::size_t at = line.empty() ? 0 : rng() % (line.size() + 1);
      switch (rng() % 4) {
        case 0:
          if (!line.empty() && at < line.size()) line[at] = static_cast<char>(rng());
          break;
        case 1:
          if (at < line.size()) line.erase(at, 1 + rng() % 8);
          break;
        case 2: {
          const std::string& piece = pieces[rng() % (sizeof pieces / sizeof pieces[0])];
          line.insert(at, piece.empty() ? std::string(1, '\0') : piece);
          break;
        }
        default:
          line = line.substr(0, at);
          break;
      }
    }
    try {
      const CaptureRequest request = readRequestLine(line);
      if (request.text == CommandText::kUtf8) {
        EXPECT_NO_THROW(utf8ToUtf16(request.command)) << line;
        EXPECT_NO_THROW(utf8ToUtf16(request.message)) << line;
      }
      ++read;
    } catch (const RequestLineError& e) {
      EXPECT_STRNE(e.what(), "") << line;
      ++refused;
    }
  }
  // Both outcomes must have been reached for the run to mean anything.
  EXPECT_GT(read, 1000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
