#include "serve_options.h"

#include <optional>

#include "allowed_origins.h"

bool asksForService(const std::vector<std::string>& args) { return !args.empty() && args[0] == "--serve"; }

ServeOptions readServeOptions(const std::vector<std::string>& args) {
  if (!asksForService(args)) throw ServeUsageError("the first argument must be --serve");
  ServeOptions options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name != "--port" && name != "--allow-origin") throw ServeUsageError("unknown argument " + name);
    if (i + 1 == args.size()) throw ServeUsageError(name + " needs a value");
    const std::string& value = args[++i];
    if (name == "--port") {
      unsigned long number = 0;
      const bool digits = !value.empty() && value.size() <= 5 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      if (digits) number = std::stoul(value);
      if (!digits || number == 0 || number > 65535) {
        throw ServeUsageError("--port " + value + ": not a port number (1 to 65535)");
      }
      options.port = static_cast<std::uint16_t>(number);
    } else {
      std::optional<std::string> origin = normaliseOrigin(value);
      if (!origin) {
        throw ServeUsageError("--allow-origin " + value +
                              ": not an origin (http:// or https://, a host and an optional port, nothing more)");
      }
      options.origins.push_back(std::move(*origin));
    }
  }
  return options;
}
