// api_failure.h: the one text every failed system or library call becomes ("CreateNamedPipe failed
// with 231"). Portable: the caller reads the error code; the system's own wording is never used, since
// it differs between Windows versions and Wine.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace velmar {

// "<api> failed with <code>", the code as a signed 32-bit decimal.
std::string apiFailure(std::string_view api, unsigned long code);

// A failed system call as a run-time error whose what() is apiFailure(api, code).
class ApiError : public std::runtime_error {
 public:
  ApiError(std::string_view api, unsigned long code);
  unsigned long code() const noexcept { return code_; }

 private:
  unsigned long code_;
};

}  // namespace velmar
