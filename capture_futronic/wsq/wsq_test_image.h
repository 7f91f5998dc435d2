// wsq_test_image.h: deterministic test and benchmark images for the codec: a finger-like ridge
// pattern (dark ridges on a white background inside an elliptical contact area), with seeded noise.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace wsq {
namespace testing {

inline std::vector<unsigned char> syntheticFinger(int width, int height, uint32_t seed = 1) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height, 255);
  const double cx = width * 0.5, cy = height * 0.55;
  const double ax = width * 0.36, ay = height * 0.44;
  uint32_t state = seed * 2654435761u + 12345u;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const double dx = (x - cx) / ax, dy = (y - cy) / ay;
      const double inside = dx * dx + dy * dy;
      if (inside > 1.0) continue;
      // Loops around a core, bent by a slow wave: a ridge period of about 9 pixels.
      const double r = std::sqrt((x - cx) * (x - cx) + 1.7 * (y - cy * 0.8) * (y - cy * 0.8));
      const double phase = r * 2.0 * 3.14159265358979 / 9.0 + 1.5 * std::sin(x / 37.0) * std::cos(y / 53.0);
      const double ridge = 0.5 + 0.5 * std::cos(phase);
      const double pressure = 1.0 - 0.6 * inside * inside;
      const double noise = static_cast<double>((state >> 24) & 0x1F) - 16.0;
      double v = 240.0 - 190.0 * ridge * pressure + noise;
      if (v < 0.0) v = 0.0;
      if (v > 255.0) v = 255.0;
      pixels[static_cast<size_t>(y) * width + x] = static_cast<unsigned char>(v);
    }
  }
  return pixels;
}

}  // namespace testing
}  // namespace wsq
