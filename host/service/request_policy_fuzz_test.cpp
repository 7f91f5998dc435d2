// Seeded random requests against the service's decisions, under AddressSanitizer and
// UndefinedBehaviorSanitizer: mutated heads (method, target, Host, Origin, length) and mutated capture
// bodies. Every head is either refused with a listed status and a reason that is valid JSON, or accepted
// only when its Host is the service's and its Origin absent or allowed; every body is either refused
// with a reason or read into a request line that the console's reader takes back with the device's
// application and no other program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <random>
#include <set>
#include <string>

#include "capture_body.h"
#include "request_policy.h"
#include "request_reader.h"

namespace {

std::string mutate(std::string text, std::mt19937& rng, const std::vector<std::string>& pieces) {
  const int mutations = 1 + rng() % 4;
  for (int m = 0; m < mutations; ++m) {
    const std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
    switch (rng() % 4) {
      case 0:
        if (at < text.size()) text[at] = static_cast<char>(rng());
        break;
      case 1:
        if (at < text.size()) text.erase(at, 1 + rng() % 8);
        break;
      case 2:
        text.insert(at, pieces[rng() % pieces.size()]);
        break;
      default:
        text = text.substr(0, at);
        break;
    }
  }
  return text;
}

TEST(ServiceDecisionFuzz, HeadsAreAcceptedOnlyFromTheServiceHostAndAllowedOrigins) {
  ServicePolicy policy;
  policy.port = 4750;
  policy.allowedOrigins = {"http://localhost:8080"};
  const std::vector<std::string> pieces = {"/",   "?",    "#",    ":",    "4750", "v1",     "info", "capture",
                                           "\r\n", "\0",  "\xC3", "%2F",  ".",    "[::1]", "localhost", "OPTIONS"};
  const std::vector<std::string> methods = {"GET", "POST", "OPTIONS", "PUT", "HEAD", ""};
  const std::vector<std::string> targets = {"/v1/info", "/v1/capture", "/v1/cancel", "/v1/diagnose", "/"};
  const std::vector<std::string> hosts = {"127.0.0.1:4750", "localhost:4750", "[::1]:4750", "evil.example:4750"};
  const std::vector<std::string> origins = {"http://localhost:8080", "https://evil.example", "null"};
  const std::set<int> refusals = {403, 404, 405, 413};
  std::mt19937 rng(20261210);
  int accepted = 0, refused = 0;
  for (int n = 0; n < 20000; ++n) {
    HttpRequestHead head;
    const std::string& target = targets[rng() % targets.size()];
    head.target = rng() % 2 ? target : mutate(target, rng, pieces);
    if (rng() % 2) {
      head.method = target == "/v1/capture" || target == "/v1/cancel" ? "POST" : "GET";  // the endpoint's own
    } else {
      head.method = rng() % 8 ? methods[rng() % methods.size()] : mutate("GET", rng, pieces);
    }
    // Mostly one Host and at most one Origin, as browsers send, so that both outcomes are common.
    for (unsigned i = rng() % 4 ? 1 : rng() % 3; i > 0; --i) head.hosts.push_back(rng() % 2 ? hosts[rng() % hosts.size()] : mutate(hosts[0], rng, pieces));
    for (unsigned i = rng() % 4 ? rng() % 2 : 2; i > 0; --i) head.origins.push_back(rng() % 2 ? origins[rng() % origins.size()] : mutate(origins[0], rng, pieces));
    if (rng() % 2) head.contentLength = rng() % 2 ? rng() % 70000 : rng();

    const HeadDecision d = decideHead(head, policy);
    if (d.endpoint == Endpoint::kRefused) {
      EXPECT_EQ(refusals.count(d.status), 1u) << d.status;
      EXPECT_NO_THROW(nlohmann::json::parse(refusalJson(d.status, d.reason))) << d.reason;
      ++refused;
      continue;
    }
    ++accepted;
    ASSERT_EQ(head.hosts.size(), 1u);
    const std::set<std::string> accepting = {"127.0.0.1:4750", "localhost:4750", "[::1]:4750"};
    std::string host = head.hosts[0];
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(accepting.count(host), 1u) << head.hosts[0];
    EXPECT_TRUE(head.origins.empty() || (head.origins.size() == 1 && head.origins[0] == "http://localhost:8080"));
    EXPECT_TRUE(!head.contentLength || *head.contentLength <= SERVICE_BODY_LIMIT);
  }
  EXPECT_GT(accepted, 300);
  EXPECT_GT(refused, 1000);
}

TEST(ServiceDecisionFuzz, CaptureBodiesNeverNameAnotherProgram) {
  const std::vector<std::string> seeds = {
      R"({"device": "futronic", "message": "Coloque el dedo", "timeout": 15000, "debugLevel": "4"})",
      R"({"device":"dpfpdd","message":"\u00edndice \ud83d\ude00"})",
      R"({"message":"m","device":"futronic","extra":[1,{"command":"x"}]})",
  };
  const std::vector<std::string> pieces = {"\"", "\\", "\\u", "\\ud800", "{", "}", "[", "]", ":", ",", "\xC3",
                                           "command", "device", "futronic", "dpfpdd", "timeout", "1e999", "\0"};
  const std::string app = "C:\\velmar\\capture\\futronic\\velmar-capture-a.exe";
  std::mt19937 rng(7);
  int read = 0, refused = 0;
  for (int n = 0; n < 20000; ++n) {
    const std::string text = mutate(seeds[n % seeds.size()], rng, pieces);
    const CaptureBody body = readCaptureBody(text);
    if (!body.read) {
      EXPECT_FALSE(body.reason.empty());
      ++refused;
      continue;
    }
    ++read;
    EXPECT_TRUE(body.device == "futronic" || body.device == "dpfpdd") << body.device;
    const auto request = readJsonRequest(captureRequestLine(body, app));
    ASSERT_TRUE(request) << text;
    EXPECT_EQ(request->command, app) << text;
  }
  EXPECT_GT(read, 1000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
