#include "request_policy.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "allowed_origins.h"

namespace {

struct Route {
  std::string_view path;
  std::string_view method;
  Endpoint endpoint;
};

constexpr Route kRoutes[] = {
    {"/v1/info", "GET", Endpoint::kInfo},
    {"/v1/capture", "POST", Endpoint::kCapture},
    {"/v1/cancel", "POST", Endpoint::kCancel},
    {"/v1/diagnose", "GET", Endpoint::kDiagnose},
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Host names the service answers to, with the port it listens on; the port may be left out only when
// it is HTTP's default.
bool hostAccepted(std::string_view host, std::uint16_t port) {
  const std::string suffix = ":" + std::to_string(port);
  for (std::string_view name : {"127.0.0.1", "localhost", "[::1]"}) {
    if (equalsIgnoringCase(host, std::string(name) + suffix)) return true;
    if (port == 80 && equalsIgnoringCase(host, name)) return true;
  }
  return false;
}

HeadDecision refused(int status, std::string reason, HeaderList headers = {}) {
  HeadDecision decision;
  decision.status = status;
  decision.reason = std::move(reason);
  decision.headers = std::move(headers);
  return decision;
}

// Received header values go into reasons shortened and printable, so an answer never echoes control
// characters or a long text back.
std::string shown(std::string_view value) {
  std::string out;
  for (char c : value.substr(0, 100)) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += (u < 0x20 || u >= 0x7F) ? '?' : c;
  }
  if (value.size() > 100) out += "...";
  return out;
}

}  // namespace

std::string_view targetPath(std::string_view target) { return target.substr(0, target.find_first_of("?#")); }

HeadDecision decideHead(const HttpRequestHead& head, const ServicePolicy& policy) {
  const std::string port = std::to_string(policy.port);
  if (head.hosts.size() != 1 || !hostAccepted(head.hosts.front(), policy.port)) {
    return refused(403, "the Host header must be 127.0.0.1:" + port + ", localhost:" + port + " or [::1]:" + port);
  }
  if (head.origins.size() > 1) return refused(403, "more than one Origin header");

  HeaderList cors;
  if (head.origins.size() == 1) {
    const std::string& origin = head.origins.front();
    if (!originAllowed(origin, policy.allowedOrigins)) {
      std::string reason = "origin " + shown(origin) + " is not allowed";
      if (normaliseOrigin(origin)) {
        reason += ": start the service with --allow-origin " + shown(origin) + " or list it in velmar-device-origins.txt";
      }
      return refused(403, reason);
    }
    cors = {{"Access-Control-Allow-Origin", origin},
            {"Vary", "Origin"},
            {"Access-Control-Allow-Methods", "GET, POST, OPTIONS"},
            {"Access-Control-Allow-Headers", "Content-Type"}};
  }

  if (head.contentLength && *head.contentLength > policy.bodyLimit) {
    return refused(413, "the body is larger than " + std::to_string(policy.bodyLimit) + " bytes", cors);
  }

  const std::string_view path = targetPath(head.target);
  const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                  [&](const Route& r) { return r.path == path; });
  if (route == std::end(kRoutes)) {
    return refused(404, "no endpoint " + shown(path) + " (GET /v1/info, POST /v1/capture, POST /v1/cancel, GET /v1/diagnose)",
                   cors);
  }

  if (head.method == "OPTIONS") {
    HeadDecision preflight;
    preflight.endpoint = Endpoint::kPreflight;
    preflight.status = 204;
    preflight.headers = cors;
    if (!cors.empty()) {
      // A public page reaching this machine: the browser asks before it sends the request.
      preflight.headers.emplace_back("Access-Control-Allow-Private-Network", "true");
      preflight.headers.emplace_back("Access-Control-Max-Age", "600");
    }
    preflight.headers.emplace_back("Allow", std::string(route->method) + ", OPTIONS");
    return preflight;
  }
  if (head.method != route->method) {
    HeaderList headers = cors;
    headers.emplace_back("Allow", std::string(route->method) + ", OPTIONS");
    return refused(405, std::string(route->path) + " takes " + std::string(route->method), std::move(headers));
  }

  HeadDecision accepted;
  accepted.endpoint = route->endpoint;
  accepted.headers = std::move(cors);
  return accepted;
}

HeadDecision refuseAfterHead(const HeadDecision& accepted, int status, std::string reason) {
  return refused(status, std::move(reason), accepted.headers);
}

std::string refusalJson(int status, std::string_view reason) {
  nlohmann::json body = {{"status", status}, {"reason", std::string(reason)}};
  return body.dump();
}
