// serve_options.h: the command line of velmar-device --serve. Portable; plain inputs and outputs.
//
//   velmar-device --serve [--port N] [--allow-origin ORIGIN]...
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr std::uint16_t SERVE_DEFAULT_PORT = 4750;

struct ServeOptions {
  std::uint16_t port = SERVE_DEFAULT_PORT;
  std::vector<std::string> origins;  // normalised (allowed_origins.h), in the order given
};

// A command line the service cannot use; what() says why, for the person who typed it.
class ServeUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether the arguments (after the program name, UTF-8) ask for the service: the first is "--serve".
bool asksForService(const std::vector<std::string>& args);

// The options of a command line whose first argument is "--serve". Throws ServeUsageError for an
// unknown argument, a missing value, a port that is not a number in 1..65535, or an origin that is
// not one (normaliseOrigin).
ServeOptions readServeOptions(const std::vector<std::string>& args);
