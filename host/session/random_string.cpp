#include "random_string.h"

#include <random>
#include <stdexcept>

std::string randomString(std::uint32_t count, const std::string& chars) {
  if (chars.empty()) throw std::runtime_error("invalid argument for chars: must not be empty");
  std::string result;
  result.reserve(count);
  std::mt19937 engine;
  try {
    std::random_device source;
    engine.seed(source());
  } catch (const std::exception& e) {
    // random_device reports its own failures with library-specific exception types.
    throw std::runtime_error(std::string("random device failed: ") + e.what());
  }
  std::uniform_int_distribution<std::size_t> pick(0, chars.size() - 1);
  for (std::uint32_t i = 0; i < count; ++i) result += chars[pick(engine)];
  return result;
}
