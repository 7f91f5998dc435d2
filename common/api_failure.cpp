#include "api_failure.h"

namespace velmar {

std::string apiFailure(std::string_view api, unsigned long code) {
  std::string text(api);
  text += " failed with ";
  text += std::to_string(code);
  return text;
}

ApiError::ApiError(std::string_view api, unsigned long code)
    : std::runtime_error(apiFailure(api, code)), code_(code) {}

}  // namespace velmar
