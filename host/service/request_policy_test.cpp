#include "request_policy.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <map>

namespace {

const char kPage[] = "http://localhost:8080";

ServicePolicy policy() {
  ServicePolicy p;
  p.port = 4750;
  p.allowedOrigins = {kPage, "https://clinic.example"};
  return p;
}

HttpRequestHead head(std::string method, std::string target, std::vector<std::string> origins = {},
                     std::vector<std::string> hosts = {"127.0.0.1:4750"}) {
  HttpRequestHead h;
  h.method = std::move(method);
  h.target = std::move(target);
  h.origins = std::move(origins);
  h.hosts = std::move(hosts);
  return h;
}

std::map<std::string, std::string> headers(const HeadDecision& d) {
  std::map<std::string, std::string> m;
  for (const auto& [name, value] : d.headers) {
    EXPECT_TRUE(m.emplace(name, value).second) << "header twice: " << name;
  }
  return m;
}

TEST(DecideHead, EndpointsAndRefusals) {
  const struct {
    const char* name;
    HttpRequestHead head;
    Endpoint endpoint;
    int status;
  } cases[] = {
      {"info from a program", head("GET", "/v1/info"), Endpoint::kInfo, 0},
      {"info with a query", head("GET", "/v1/info?t=1"), Endpoint::kInfo, 0},
      {"capture from the page", head("POST", "/v1/capture", {kPage}), Endpoint::kCapture, 0},
      {"cancel", head("POST", "/v1/cancel", {}, {"localhost:4750"}), Endpoint::kCancel, 0},
      {"diagnose over IPv6 loopback", head("GET", "/v1/diagnose", {}, {"[::1]:4750"}), Endpoint::kDiagnose, 0},
      {"host name in capitals", head("GET", "/v1/info", {}, {"LocalHost:4750"}), Endpoint::kInfo, 0},
      {"preflight", head("OPTIONS", "/v1/capture", {kPage}), Endpoint::kPreflight, 204},
      // Who may call.
      {"rebinding name", head("GET", "/v1/info", {}, {"evil.example:4750"}), Endpoint::kRefused, 403},
      {"other port", head("GET", "/v1/info", {}, {"127.0.0.1:4751"}), Endpoint::kRefused, 403},
      {"no port", head("GET", "/v1/info", {}, {"127.0.0.1"}), Endpoint::kRefused, 403},
      {"no Host", head("GET", "/v1/info", {}, {}), Endpoint::kRefused, 403},
      {"two Hosts", head("GET", "/v1/info", {}, {"127.0.0.1:4750", "evil.example"}), Endpoint::kRefused, 403},
      {"Host with a suffix", head("GET", "/v1/info", {}, {"127.0.0.1:4750.evil.example"}), Endpoint::kRefused, 403},
      {"foreign origin", head("POST", "/v1/capture", {"https://evil.example"}), Endpoint::kRefused, 403},
      {"foreign origin preflight", head("OPTIONS", "/v1/capture", {"https://evil.example"}), Endpoint::kRefused, 403},
      {"null origin", head("POST", "/v1/capture", {"null"}), Endpoint::kRefused, 403},
      {"origin with a path", head("GET", "/v1/info", {"http://localhost:8080/"}), Endpoint::kRefused, 403},
      {"two origins", head("GET", "/v1/info", {kPage, kPage}), Endpoint::kRefused, 403},
      // What may be asked.
      {"unknown path", head("GET", "/v1/infos", {kPage}), Endpoint::kRefused, 404},
      {"root", head("GET", "/"), Endpoint::kRefused, 404},
      {"absolute target", head("GET", "http://127.0.0.1:4750/v1/info"), Endpoint::kRefused, 404},
      {"capture by GET", head("GET", "/v1/capture", {kPage}), Endpoint::kRefused, 405},
      {"info by POST", head("POST", "/v1/info"), Endpoint::kRefused, 405},
      {"lower-case method", head("get", "/v1/info"), Endpoint::kRefused, 405},
      {"HEAD", head("HEAD", "/v1/info"), Endpoint::kRefused, 405},
  };
  for (const auto& c : cases) {
    const HeadDecision d = decideHead(c.head, policy());
    EXPECT_EQ(d.endpoint, c.endpoint) << c.name;
    EXPECT_EQ(d.status, c.status) << c.name;
    if (c.endpoint == Endpoint::kRefused) {
      EXPECT_FALSE(d.reason.empty()) << c.name;
    }
  }
}

TEST(DecideHead, BodySizeLimit) {
  HttpRequestHead h = head("POST", "/v1/capture", {kPage});
  h.contentLength = SERVICE_BODY_LIMIT;
  EXPECT_EQ(decideHead(h, policy()).endpoint, Endpoint::kCapture);
  h.contentLength = SERVICE_BODY_LIMIT + 1;
  const HeadDecision d = decideHead(h, policy());
  EXPECT_EQ(d.status, 413);
  EXPECT_EQ(headers(d).at("Access-Control-Allow-Origin"), kPage);
  // The origin is judged before the size: a foreign page learns nothing more.
  h.origins = {"https://evil.example"};
  EXPECT_EQ(decideHead(h, policy()).status, 403);
}

TEST(DecideHead, CorsOnlyForAllowedOrigins) {
  const auto allowed = headers(decideHead(head("POST", "/v1/capture", {kPage}), policy()));
  EXPECT_EQ(allowed.at("Access-Control-Allow-Origin"), kPage);
  EXPECT_EQ(allowed.at("Vary"), "Origin");
  EXPECT_EQ(allowed.at("Access-Control-Allow-Methods"), "GET, POST, OPTIONS");
  EXPECT_EQ(allowed.at("Access-Control-Allow-Headers"), "Content-Type");
  EXPECT_EQ(allowed.count("Access-Control-Allow-Private-Network"), 0u);

  const auto preflight = headers(decideHead(head("OPTIONS", "/v1/capture", {kPage}), policy()));
  EXPECT_EQ(preflight.at("Access-Control-Allow-Origin"), kPage);
  EXPECT_EQ(preflight.at("Access-Control-Allow-Private-Network"), "true");
  EXPECT_EQ(preflight.at("Allow"), "POST, OPTIONS");

  // A refusal to an allowed page carries CORS, so the page can read the reason.
  const auto notFound = headers(decideHead(head("GET", "/v2/x", {kPage}), policy()));
  EXPECT_EQ(notFound.at("Access-Control-Allow-Origin"), kPage);
  const auto wrongMethod = headers(decideHead(head("GET", "/v1/cancel", {kPage}), policy()));
  EXPECT_EQ(wrongMethod.at("Allow"), "POST, OPTIONS");

  for (const HttpRequestHead& h : {head("POST", "/v1/capture", {"https://evil.example"}),
                                   head("OPTIONS", "/v1/capture", {"https://evil.example"}),
                                   head("GET", "/v1/info", {kPage}, {"evil.example:4750"}),
                                   head("GET", "/v1/info")}) {
    for (const auto& [name, value] : decideHead(h, policy()).headers) {
      EXPECT_EQ(name.rfind("Access-Control-", 0), std::string::npos) << h.target << " " << name;
      EXPECT_NE(name, "Vary");
    }
  }
}

TEST(DecideHead, PortEightyMayGoWithoutPort) {
  ServicePolicy p = policy();
  p.port = 80;
  EXPECT_EQ(decideHead(head("GET", "/v1/info", {}, {"localhost"}), p).endpoint, Endpoint::kInfo);
  EXPECT_EQ(decideHead(head("GET", "/v1/info", {}, {"localhost:80"}), p).endpoint, Endpoint::kInfo);
}

TEST(RefusalJson, StatusAndReasonAsJson) {
  const auto body = nlohmann::json::parse(refusalJson(403, "origin \"x\" is not allowed"));
  EXPECT_EQ(body, (nlohmann::json{{"status", 403}, {"reason", "origin \"x\" is not allowed"}}));
  // Received texts reach a reason only as printable ASCII.
  const HeadDecision d = decideHead(head("GET", "/v1/info", {std::string("http://a\r\nX: \xC3\xB1")}), policy());
  EXPECT_EQ(d.reason.find_first_of("\r\n\xC3"), std::string::npos) << d.reason;
  EXPECT_NO_THROW(nlohmann::json::parse(refusalJson(d.status, d.reason)));
}

}  // namespace
