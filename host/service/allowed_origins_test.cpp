#include "allowed_origins.h"

#include <gtest/gtest.h>

namespace {

TEST(NormaliseOrigin, WrittenFormsBecomeWhatBrowsersSend) {
  const struct {
    const char* written;
    const char* normalised;  // nullptr: refused
  } cases[] = {
      {"http://localhost:8080", "http://localhost:8080"},
      {"  HTTPS://App.Example.COM/ ", "https://app.example.com"},
      {"http://example.com:80", "http://example.com"},
      {"https://example.com:443", "https://example.com"},
      {"https://example.com:80", "https://example.com:80"},
      {"http://127.0.0.1:3000", "http://127.0.0.1:3000"},
      {"http://[::1]:3000", "http://[::1]:3000"},
      {"http://[FE80::1]", "http://[fe80::1]"},
      {"null", nullptr},
      {"*", nullptr},
      {"file://", nullptr},
      {"ftp://example.com", nullptr},
      {"example.com", nullptr},
      {"http://", nullptr},
      {"http://example.com/path", nullptr},
      {"http://example.com?q", nullptr},
      {"http://user@example.com", nullptr},
      {"http://*.example.com", nullptr},
      {"http://example.com:0", nullptr},
      {"http://example.com:65536", nullptr},
      {"http://example.com:", nullptr},
      {"http://example.com:80x", nullptr},
      {"http://.example.com", nullptr},
      {"http://[::1", nullptr},
      {"http://[zz]:1", nullptr},
      {"http://exa mple.com", nullptr},
  };
  for (const auto& c : cases) {
    const auto got = normaliseOrigin(c.written);
    if (c.normalised) {
      ASSERT_TRUE(got) << c.written;
      EXPECT_EQ(*got, c.normalised) << c.written;
    } else {
      EXPECT_FALSE(got) << c.written << " -> " << *got;
    }
  }
}

TEST(ReadOriginsText, CommentsBlanksLineEndsAndRefusedLines) {
  const OriginsText read = readOriginsText(
      "\xEF\xBB\xBF# origins of the clinic's pages\r\n"
      "https://clinic.example\r\n"
      "\r\n"
      "   # http://commented.example\n"
      "\thttp://localhost:8080/  \n"
      "not an origin\n"
      "http://last.example");
  EXPECT_EQ(read.origins,
            (std::vector<std::string>{"https://clinic.example", "http://localhost:8080", "http://last.example"}));
  EXPECT_EQ(read.refused, std::vector<std::string>{"not an origin"});
  EXPECT_TRUE(readOriginsText("").origins.empty());
}

TEST(ReadOriginsList, InstallerPropertyRoundTripsThroughTheFile) {
  const OriginsText list = readOriginsList(" https://Clinic.example/;http://localhost:8080, http://a.example  bad ");
  const std::vector<std::string> want = {"https://clinic.example", "http://localhost:8080", "http://a.example"};
  EXPECT_EQ(list.origins, want);
  EXPECT_EQ(list.refused, std::vector<std::string>{"bad"});
  // What the installer writes is what the service reads back.
  const OriginsText back = readOriginsText(originsFileText(list.origins));
  EXPECT_EQ(back.origins, want);
  EXPECT_TRUE(back.refused.empty());
}

TEST(OriginAllowed, ExactMatchOnly) {
  const std::vector<std::string> allowed = {"http://localhost:8080", "https://clinic.example"};
  EXPECT_TRUE(originAllowed("http://localhost:8080", allowed));
  EXPECT_TRUE(originAllowed("https://clinic.example", allowed));
  for (const char* other : {"http://localhost:8081", "http://localhost", "https://localhost:8080",
                            "https://clinic.example.evil", "https://evil-clinic.example", "null", ""}) {
    EXPECT_FALSE(originAllowed(other, allowed)) << other;
  }
}

}  // namespace
