// payload.h: deterministic test payloads, so a test can check the bytes a fake capture application
// wrote without sharing a file with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fake_capture {

inline std::vector<std::uint8_t> payload(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 12345u;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

}  // namespace fake_capture
