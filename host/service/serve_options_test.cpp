#include "serve_options.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(ServeOptions, DefaultsPortAndOrigins) {
  const ServeOptions plain = readServeOptions({"--serve"});
  EXPECT_EQ(plain.port, 4750);
  EXPECT_TRUE(plain.origins.empty());

  const ServeOptions given = readServeOptions(
      {"--serve", "--allow-origin", "http://localhost:8080", "--port", "5000", "--allow-origin", "HTTPS://A.example/"});
  EXPECT_EQ(given.port, 5000);
  EXPECT_EQ(given.origins, (Args{"http://localhost:8080", "https://a.example"}));
  EXPECT_EQ(readServeOptions({"--serve", "--port", "65535"}).port, 65535);
}

TEST(ServeOptions, UnusableCommandLinesSayWhy) {
  const struct {
    Args args;
    const char* why;
  } cases[] = {
      {{"--serve", "--port"}, "--port needs a value"},
      {{"--serve", "--port", "0"}, "not a port number"},
      {{"--serve", "--port", "65536"}, "not a port number"},
      {{"--serve", "--port", "-1"}, "not a port number"},
      {{"--serve", "--port", "80a"}, "not a port number"},
      {{"--serve", "--port", "000004750"}, "not a port number"},
      {{"--serve", "--allow-origin", "*"}, "not an origin"},
      {{"--serve", "--allow-origin", "null"}, "not an origin"},
      {{"--serve", "--allow-origin"}, "--allow-origin needs a value"},
      {{"--serve", "--verbose"}, "unknown argument --verbose"},
      {{"--port", "5000"}, "--serve"},
  };
  for (const auto& c : cases) {
    try {
      readServeOptions(c.args);
      ADD_FAILURE() << c.why;
    } catch (const ServeUsageError& e) {
      EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(asksForService({}));
  EXPECT_FALSE(asksForService({"--diagnose"}));
}

}  // namespace
