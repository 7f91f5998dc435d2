// request_policy.h: what the local web service does with a request, decided from its head alone:
// who may call (Host and Origin), which endpoint, which method, how large a body. Portable; plain
// inputs and outputs, so every refusal can be tested and fuzzed without a socket.
//
// A request is refused, in this order, when
//   - its Host is not 127.0.0.1:PORT, localhost:PORT or [::1]:PORT (a page of another name that
//     resolves to this machine), 403;
//   - it carries an Origin that is not allowed (a page the person did not allow), 403, without CORS
//     headers; a request without Origin comes from a local program and is served;
//   - it declares a body larger than the limit, 413;
//   - its path is not an endpoint, 404; its method is not the endpoint's, 405.
// An allowed origin gets CORS headers on every answer, refusals included, so its page can read why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr std::size_t SERVICE_BODY_LIMIT = 64 * 1024;

struct HttpRequestHead {
  std::string method;                         // as received: "GET", "POST", "OPTIONS", ...
  std::string target;                         // the request target: "/v1/info", "/v1/info?x=1", ...
  std::vector<std::string> hosts;             // every Host field value
  std::vector<std::string> origins;           // every Origin field value
  std::optional<std::uint64_t> contentLength;  // when the head declares one
};

struct ServicePolicy {
  std::uint16_t port = 0;
  std::vector<std::string> allowedOrigins;  // normalised (allowed_origins.h)
  std::size_t bodyLimit = SERVICE_BODY_LIMIT;
};

enum class Endpoint { kRefused, kPreflight, kInfo, kCapture, kCancel, kDiagnose };

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HeadDecision {
  Endpoint endpoint = Endpoint::kRefused;
  int status = 0;      // the refusal's status (kRefused), 204 (kPreflight), else 0: the endpoint decides
  std::string reason;  // why, for a refusal: short English text for the page's developer
  HeaderList headers;  // sent with every answer to this request: CORS for an allowed origin, Allow for 405
};

HeadDecision decideHead(const HttpRequestHead& head, const ServicePolicy& policy);

// A refusal for a request whose head was accepted (a body too large or unreadable), keeping the
// headers the head earned.
HeadDecision refuseAfterHead(const HeadDecision& accepted, int status, std::string reason);

// The answer body of a refusal: {"status": N, "reason": "..."}.
std::string refusalJson(int status, std::string_view reason);

// The path of a request target: up to its '?' or '#'.
std::string_view targetPath(std::string_view target);
