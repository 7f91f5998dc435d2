#include "synthetic_finger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace velmar::synthetic {
namespace {

size_t countBelow(const std::vector<uint8_t>& pixels, int level) {
  return static_cast<size_t>(
      std::count_if(pixels.begin(), pixels.end(), [level](uint8_t p) { return p < level; }));
}

TEST(SyntheticFinger, DeterministicForASeed) {
  FingerParams p;
  const auto a = generateFinger(p);
  EXPECT_EQ(a, generateFinger(p));
  p.seed = 2;
  EXPECT_NE(a, generateFinger(p));
}

TEST(SyntheticFinger, AnyFrameSize) {
  for (const auto& [w, h] : {std::pair{320, 480}, {357, 392}, {1, 1}, {640, 200}}) {
    FingerParams p;
    p.width = w;
    p.height = h;
    EXPECT_EQ(generateFinger(p).size(), static_cast<size_t>(w) * h) << w << "x" << h;
  }
}

TEST(SyntheticFinger, RejectsBadParameters) {
  const struct { int w, h, fingers; } cases[] = {{0, 10, 1}, {10, -1, 1}, {9000, 10, 1}, {10, 10, 3},
                                                 {10, 10, -1}};
  for (const auto& c : cases) {
    FingerParams p;
    p.width = c.w;
    p.height = c.h;
    p.fingers = c.fingers;
    EXPECT_THROW(generateFinger(p), std::invalid_argument);
  }
}

// The scanner frame loop accepts a frame with more than 30000 pixels darker than 210: a default
// finger must pass it, a blank frame must not have a single dark pixel.
TEST(SyntheticFinger, DarkRidgesOnLightBackground) {
  FingerParams p;
  const auto finger = generateFinger(p);
  EXPECT_GT(countBelow(finger, 210), 30000u);
  EXPECT_GT(finger[0], 230);  // corner: background
  p.fingers = 0;
  EXPECT_EQ(countBelow(generateFinger(p), 210), 0u);
}

TEST(SyntheticFinger, DarkPixelsStayInsideTheEllipsesOrSpecks) {
  FingerParams p;
  p.fingers = 2;
  p.specks = 0;
  const auto pixels = generateFinger(p);
  const Ellipse e[2] = {fingerEllipse(p, 0), fingerEllipse(p, 1)};
  EXPECT_LT(e[0].cx + e[0].rx + 15, e[1].cx - e[1].rx) << "fingers must stay apart";
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (pixels[static_cast<size_t>(y) * p.width + x] >= 210) continue;
      bool inside = false;
      for (const auto& f : e) {
        const double u = (x - f.cx) / f.rx, v = (y - f.cy) / f.ry;
        inside = inside || u * u + v * v <= 1.0;
      }
      ASSERT_TRUE(inside) << "dark pixel outside the fingers at " << x << "," << y;
    }
  }
}

TEST(SyntheticFinger, EdgeAndSpecks) {
  FingerParams p;
  p.edge = Edge::Left;
  auto pixels = generateFinger(p);
  size_t darkInFirstColumn = 0;
  for (int y = 0; y < p.height; ++y) darkInFirstColumn += pixels[static_cast<size_t>(y) * p.width] < 210;
  EXPECT_GT(darkInFirstColumn, 50u);

  p.edge = Edge::Top;
  pixels = generateFinger(p);
  EXPECT_GT(countBelow(std::vector<uint8_t>(pixels.begin(), pixels.begin() + p.width), 210), 50u);

  p.edge = Edge::None;
  p.fingers = 0;
  p.specks = 6;
  const size_t speckPixels = countBelow(generateFinger(p), 210);
  EXPECT_GE(speckPixels, 6u * 12);  // each speck has a radius of at least 2
  EXPECT_LE(speckPixels, 6u * 60);
}

}  // namespace
}  // namespace velmar::synthetic
