#include "capture_body.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "request_reader.h"

namespace {

using nlohmann::json;

TEST(ReadCaptureBody, RefusedBodiesSayWhy) {
  const struct {
    const char* body;
    const char* why;
  } cases[] = {
      {"", "not JSON"},
      {"{\"device\": \"futronic\"", "not JSON"},
      {"{\"device\": \"futronic\", \"message\": \"\xC3\"}", "not JSON"},
      {"[\"futronic\"]", "not a JSON object"},
      {"\"futronic\"", "not a JSON object"},
      {R"({"device": "futronic", "command": "C:\\Windows\\System32\\calc.exe"})", "\"command\""},
      {R"({"command": "C:\\velmar\\capture\\futronic\\velmar-capture-a.exe"})", "\"command\""},
      {R"({"message": "m"})", "\"device\""},
      {R"({"device": 1})", "\"device\""},
      {R"({"device": "FUTRONIC"})", "unknown device"},
      {R"({"device": "..\\..\\evil"})", "unknown device"},
      {R"({"device": "dpfpdd", "message": 5})", "\"message\""},
      {R"({"device": "dpfpdd", "timeout": [1]})", "\"timeout\""},
      {R"({"device": "dpfpdd", "debugLevel": null})", "\"debugLevel\""},
  };
  for (const auto& c : cases) {
    const CaptureBody body = readCaptureBody(c.body);
    EXPECT_FALSE(body.read) << c.body;
    EXPECT_NE(body.reason.find(c.why), std::string::npos) << c.body << " -> " << body.reason;
  }
}

// The line handed to the console's answer path reads back, through the console's own reader, as the
// same request the body made.
TEST(CaptureRequestLine, ReadsBackThroughTheConsoleReader) {
  const std::string app = "C:\\Program Files\\velmar\\capture\\dpfpdd\\velmar-capture-b.exe";
  const struct {
    const char* body;
    const char* message;
    const char* timeout;
    const char* debugLevel;
  } cases[] = {
      {R"({"device": "dpfpdd"})", "", "15000", "4"},
      {R"({"device": "dpfpdd", "message": "Coloque el dedo \u00edndice", "x": {"y": 1}})",
       "Coloque el dedo \xC3\xADndice", "15000", "4"},
      {R"({"timeout": 30000, "debugLevel": "NO", "device": "dpfpdd", "message": "a\"b\\c"})", "a\"b\\c", "30000",
       "NO"},
      {R"({"device": "dpfpdd", "timeout": "20000", "debugLevel": 2})", "", "20000", "2"},
  };
  for (const auto& c : cases) {
    const CaptureBody body = readCaptureBody(c.body);
    ASSERT_TRUE(body.read) << c.body << ": " << body.reason;
    EXPECT_EQ(body.device, "dpfpdd");
    const auto request = readJsonRequest(captureRequestLine(body, app));
    ASSERT_TRUE(request) << c.body;
    EXPECT_EQ(request->command, app);
    EXPECT_EQ(request->message, c.message);
    EXPECT_EQ(request->timeout, c.timeout);
    EXPECT_EQ(request->debugLevel, c.debugLevel);
    EXPECT_EQ(request->text, CommandText::kUtf8);
  }
}

TEST(CaptureDevices, EachNameHasItsApplication) {
  const auto& devices = captureDevices();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].name, "futronic");
  EXPECT_EQ(devices[0].relativePath, "capture\\futronic\\velmar-capture-a.exe");
  EXPECT_EQ(devices[1].name, "dpfpdd");
  EXPECT_EQ(devices[1].relativePath, "capture\\dpfpdd\\velmar-capture-b.exe");
}

}  // namespace
