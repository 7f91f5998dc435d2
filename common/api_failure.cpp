#include "api_failure.h"

#include <cstdint>

namespace velmar {

std::string apiFailure(std::string_view api, unsigned long code) {
  std::string text(api);
  text += " failed with ";
  // Windows error codes are 32-bit; the text shows them as signed numbers, so an HRESULT such as
  // 0x80004005 reads -2147467259, as Windows tools print it.
  text += std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(code)));
  return text;
}

ApiError::ApiError(std::string_view api, unsigned long code)
    : std::runtime_error(apiFailure(api, code)), code_(code) {}

}  // namespace velmar
