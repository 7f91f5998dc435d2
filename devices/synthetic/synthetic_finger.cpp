// synthetic_finger.cpp: the synthetic finger generator.
#include "synthetic_finger.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velmar::synthetic {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxSide = 8192;
constexpr int kMinutiae = 10;
constexpr double kEdgeFade = 5.0;  // pixels over which the contact area fades out

// splitmix64: small, fast and the same on every platform (std distributions are not).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

 private:
  uint64_t state_;
};

double smoothstep(double lo, double hi, double x) {
  const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

struct Minutia {
  double x, y, sign;
};

// The ridge pattern of one finger, drawn into pixels over its ellipse.
struct FingerPattern {
  Ellipse shape;
  double coreX, coreY;
  double archBend;                 // curvature of the arches below the core
  double waveAmp[2], wavePeriod[2], wavePhase[2];
  Minutia minutiae[kMinutiae];

  FingerPattern(const Ellipse& e, Random& rnd) : shape(e) {
    coreX = e.cx + rnd.uniform(-0.12, 0.12) * e.rx;
    coreY = e.cy - rnd.uniform(0.05, 0.25) * e.ry;
    archBend = rnd.uniform(0.8, 1.4) / e.rx;
    for (int i = 0; i < 2; ++i) {
      waveAmp[i] = rnd.uniform(2.0, 5.0);
      wavePeriod[i] = rnd.uniform(90.0, 160.0);
      wavePhase[i] = rnd.uniform(0.0, 2 * kPi);
    }
    for (auto& m : minutiae) {
      const double angle = rnd.uniform(0.0, 2 * kPi);
      const double radius = std::sqrt(rnd.uniform(0.05, 0.8));
      m = Minutia{e.cx + radius * e.rx * std::cos(angle), e.cy + radius * e.ry * std::sin(angle),
                  rnd.uniform() < 0.5 ? -1.0 : 1.0};
    }
  }

  // How much of the pixel lies on the finger's contact area: 1 inside, fading to 0 at the rim.
  double contact(double x, double y) const {
    const double u = (x - shape.cx) / shape.rx, v = (y - shape.cy) / shape.ry;
    const double r = std::sqrt(u * u + v * v);
    // Distance to the rim in pixels, approximated along the smaller radius.
    const double inside = (1.0 - r) * std::min(shape.rx, shape.ry);
    return smoothstep(0.0, kEdgeFade, inside);
  }

  // Ridge phase (in ridges) at a pixel: the distance field divided by the period plus the spirals.
  double phase(double x, double y, double period) const {
    const double wx = x + waveAmp[0] * std::sin(2 * kPi * y / wavePeriod[0] + wavePhase[0]);
    const double wy = y + waveAmp[1] * std::sin(2 * kPi * x / wavePeriod[1] + wavePhase[1]);
    const double dx = wx - coreX, dy = wy - coreY;
    // Rings around the core above it, arches below; blended over a band so the flow stays smooth.
    const double rings = std::sqrt(dx * dx + 1.2 * dy * dy);
    const double arches = dy + 0.5 * archBend * dx * dx + 2.0 * period;
    const double below = smoothstep(-0.5 * period, 3.0 * period, dy - 0.2 * std::fabs(dx));
    double p = ((1.0 - below) * rings + below * std::max(arches, 0.0)) / period;
    for (const auto& m : minutiae) p += m.sign * std::atan2(wy - m.y, wx - m.x) / (2 * kPi);
    return p;
  }
};

Ellipse placeEllipse(const FingerParams& p, int finger) {
  const double w = p.width, h = p.height;
  Ellipse e{};
  if (p.fingers == 2) {
    e.rx = 0.215 * w * p.fingerScale;
    e.cx = finger == 0 ? 0.25 * w : 0.75 * w;
  } else {
    e.rx = 0.375 * w * p.fingerScale;
    e.cx = 0.5 * w;
  }
  e.ry = std::min(0.36 * h, 1.6 * 0.375 * w) * p.fingerScale;
  e.cy = 0.5 * h;
  if (finger == 0) {
    switch (p.edge) {
      case Edge::Left: e.cx = 0.6 * e.rx; break;
      case Edge::Right: e.cx = w - 0.6 * e.rx; break;
      case Edge::Top: e.cy = 0.6 * e.ry; break;
      case Edge::Bottom: e.cy = h - 0.6 * e.ry; break;
      case Edge::None: break;
    }
  }
  return e;
}

void validate(const FingerParams& p) {
  if (p.width < 1 || p.height < 1 || p.width > kMaxSide || p.height > kMaxSide)
    throw std::invalid_argument("frame size out of range");
  if (p.fingers < 0 || p.fingers > 2) throw std::invalid_argument("finger count must be 0, 1 or 2");
}

}  // namespace

Ellipse fingerEllipse(const FingerParams& params, int finger) {
  validate(params);
  return placeEllipse(params, finger);
}

std::vector<uint8_t> generateFinger(const FingerParams& p) {
  validate(p);
  Random rnd(0x5EED0000ull ^ (static_cast<uint64_t>(p.seed) * 0x100000001B3ull));
  const double pressure = std::clamp(p.pressure, 0.0, 1.0);
  const double period = std::max(p.ridgePeriod, 3.0);
  const double background = std::clamp(p.background, 0, 255);
  // Pressed harder, ridges get wider (lower cut on the cosine) and darker.
  const double cut = 0.9 - 2.0 * pressure;
  const double ridgeGrey = 255.0 * (0.42 - 0.3 * pressure);
  const double valleyGrey = std::min(background, 228.0);

  std::vector<FingerPattern> fingers;
  for (int i = 0; i < p.fingers; ++i) fingers.emplace_back(placeEllipse(p, i), rnd);

  std::vector<double> grey(static_cast<size_t>(p.width) * p.height, background);
  for (const auto& f : fingers) {
    const int x0 = std::max(0, static_cast<int>(f.shape.cx - f.shape.rx) - 1);
    const int x1 = std::min(p.width - 1, static_cast<int>(f.shape.cx + f.shape.rx) + 1);
    const int y0 = std::max(0, static_cast<int>(f.shape.cy - f.shape.ry) - 1);
    const int y1 = std::min(p.height - 1, static_cast<int>(f.shape.cy + f.shape.ry) + 1);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double c = f.contact(x, y);
        if (c <= 0.0) continue;
        const double s = std::cos(2 * kPi * f.phase(x, y, period));
        const double ridge = smoothstep(cut - 0.35, cut + 0.35, s);
        const double inside = valleyGrey - (valleyGrey - ridgeGrey) * ridge;
        double& g = grey[static_cast<size_t>(y) * p.width + x];
        g = std::min(g, background + (inside - background) * c);
      }
    }
  }

  // Specks: small dark dots on the empty surface, kept well away from the fingers so they stay
  // separate regions after the segmentation's dilation.
  int placed = 0;
  for (int attempt = 0; placed < p.specks && attempt < p.specks * 100; ++attempt) {
    const double r = rnd.uniform(2.0, 4.0);
    const double sx = rnd.uniform(r, p.width - 1 - r), sy = rnd.uniform(r, p.height - 1 - r);
    bool clear = true;
    for (const auto& f : fingers) {
      const double u = (sx - f.shape.cx) / (f.shape.rx + 25.0);
      const double v = (sy - f.shape.cy) / (f.shape.ry + 25.0);
      if (u * u + v * v < 1.0) clear = false;
    }
    if (!clear) continue;
    ++placed;
    for (int y = static_cast<int>(sy - r); y <= static_cast<int>(sy + r) + 1; ++y) {
      for (int x = static_cast<int>(sx - r); x <= static_cast<int>(sx + r) + 1; ++x) {
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) continue;
        if ((x - sx) * (x - sx) + (y - sy) * (y - sy) <= r * r)
          grey[static_cast<size_t>(y) * p.width + x] = 40.0;
      }
    }
  }

  std::vector<uint8_t> pixels(grey.size());
  const double noise = std::max(p.noise, 0.0);
  for (size_t i = 0; i < grey.size(); ++i) {
    const double n = (rnd.uniform() + rnd.uniform() - 1.0) * noise;  // triangular, +-noise
    pixels[i] = static_cast<uint8_t>(std::lround(std::clamp(grey[i] + n, 0.0, 255.0)));
  }
  return pixels;
}

}  // namespace velmar::synthetic
