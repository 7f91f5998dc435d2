// template_bytes.cpp: deterministic template bytes for the virtual template library.
#include "template_bytes.h"

namespace velmar::futronic {

std::vector<std::uint8_t> makeTemplate(const std::uint8_t* frame, std::size_t frameBytes, std::size_t size) {
  // FNV-1a over the frame seeds a xorshift generator.
  std::uint64_t state = 1469598103934665603ULL;
  for (std::size_t i = 0; i < frameBytes; ++i) {
    state ^= frame[i];
    state *= 1099511628211ULL;
  }
  if (state == 0) state = 1;
  std::vector<std::uint8_t> out(size);
  const std::uint8_t magic[4] = {'F', 'M', 'R', 0};
  for (std::size_t i = 0; i < size; ++i) {
    if (i < 4) {
      out[i] = magic[i];
      continue;
    }
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    out[i] = static_cast<std::uint8_t>(state >> 24);
  }
  return out;
}

}  // namespace velmar::futronic
