// synthetic_finger.h: deterministic synthetic fingerprint frames for the stand-in scanners, the tests
// and the benchmarks. Plain parameters in, grey pixels out: row-major, width x height bytes, dark
// ridges on a light background (as the scanners deliver frames after inversion). The same parameters
// give the same pixels on the same platform. Pure functions; any thread.
//
// The picture: an elliptical contact area per finger; inside it ridges follow the level lines of a
// smooth distance field around a core (rings above it, arches below), bent by seeded low-frequency
// waves, at one ridge period; seeded spiral phase terms add ridge endings and bifurcations. Pressure
// widens and darkens the ridges; noise is added everywhere.
#pragma once

#include <cstdint>
#include <vector>

namespace velmar::synthetic {

// Which edge of the frame a finger is pushed across.
enum class Edge { None, Left, Top, Right, Bottom };

struct FingerParams {
  int width = 320;   // frame size in pixels (the Futronic frames are about 320 x 480)
  int height = 480;
  uint32_t seed = 1;
  int fingers = 1;           // 0: a blank frame (background and noise only); 1 or 2 fingers side by side
  Edge edge = Edge::None;    // pushes the (first) finger across this frame edge
  int specks = 0;            // small dark specks (radius 2..4 px) away from the fingers
  double pressure = 0.6;     // 0..1: wider, darker ridges when higher
  double noise = 6.0;        // amplitude of the grey noise, in grey levels
  double ridgePeriod = 9.0;  // pixels from ridge to ridge (about 500 dpi)
  double fingerScale = 1.0;  // contact area size relative to the default for the frame size
  int background = 245;      // grey of the empty scanner surface
};

// The frame's pixels, width x height bytes. Throws std::invalid_argument for a size below 1 x 1 or
// above 8192 x 8192, or a finger count other than 0, 1 or 2.
std::vector<uint8_t> generateFinger(const FingerParams& params);

// The contact ellipse of finger i (0 or 1) as the generator places it; for tests and tools.
struct Ellipse {
  double cx, cy, rx, ry;
};
Ellipse fingerEllipse(const FingerParams& params, int finger);

}  // namespace velmar::synthetic
