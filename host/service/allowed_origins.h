// allowed_origins.h: the browser origins the local web service answers, as the command line and the
// origins file give them. Portable; plain inputs and outputs.
//
// An origin is what a browser sends in its Origin header: "http://" or "https://", a host name, an IPv4
// address or a bracketed IPv6 address, and an optional port, nothing after it. Written origins are
// compared with received ones after normalisation: scheme and host in lower case, a trailing "/"
// dropped, the scheme's default port (80, 443) dropped, since browsers never send it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The normalised origin, or nothing when text is not an origin ("null", a path, a query, user
// information, a wildcard, another scheme, a port outside 1..65535).
std::optional<std::string> normaliseOrigin(std::string_view text);

struct OriginsText {
  std::vector<std::string> origins;     // normalised, in the order written
  std::vector<std::string> refused;     // lines that are not origins, as written (trimmed)
};

// The origins of an origins file: one origin a line; blanks around it, empty lines and lines whose
// first non-blank character is '#' are skipped; CR LF and LF line ends; a UTF-8 byte-order mark at the
// start is skipped.
OriginsText readOriginsText(std::string_view text);

// The origins of a list given in one line (the installer's ALLOWED_ORIGINS): separated by blanks,
// commas or semicolons.
OriginsText readOriginsList(std::string_view list);

// The text of an origins file holding origins (normalised): a comment line saying where it came from,
// then one origin a line, CR LF line ends.
std::string originsFileText(const std::vector<std::string>& origins);

// Whether a received Origin value is one of the allowed (normalised) origins. The received value is
// compared as sent: browsers send origins already normalised.
bool originAllowed(std::string_view received, const std::vector<std::string>& allowed);
