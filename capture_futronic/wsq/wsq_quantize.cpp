// wsq_quantize.cpp: variances, bin widths and quantisation.
#include "wsq_quantize.h"

#include <cmath>
#include <cstddef>
#include <cstdio>


namespace wsq {
namespace {

constexpr float kVarianceFloor = 1.01f;

// Sample variance (sum x^2 - (sum x)^2 / N) / (N - 1) of a rectangle of the image. A rectangle of fewer
// than two samples has no spread to measure: 0, which drops the subband.
float rectVariance(const float* fip, int width, int x, int y, int w, int h) {
  const long long count = static_cast<long long>(w) * h;
  if (count < 2) return 0.0f;
  double sum = 0.0, squares = 0.0;
  for (int row = 0; row < h; ++row) {
    const float* p = fip + static_cast<size_t>(y + row) * width + x;
    for (int col = 0; col < w; ++col) {
      sum += p[col];
      squares += static_cast<double>(p[col]) * p[col];
    }
  }
  return static_cast<float>((squares - sum * sum / count) / (count - 1));
}

float centralVariance(const float* fip, int width, const QuantNode& q) {
  const int x = q.x + q.lenx / 8;
  const int y = q.y + (9 * q.leny) / 32;
  const int w = (3 * q.lenx) / 4;
  const int h = (7 * q.leny) / 16;
  return rectVariance(fip, width, x, y, w, h);
}

float wholeVariance(const float* fip, int width, const QuantNode& q) {
  return rectVariance(fip, width, q.x, q.y, q.lenx, q.leny);
}

// Weights of the eight largest subbands; all others weigh 1.
double weightOf(int band) {
  static const double kHighWeights[8] = {1.32, 1.08, 1.42, 1.08, 1.32, 1.42, 1.08, 1.08};
  return band >= 52 ? kHighWeights[band - 52] : 1.0;
}

// Reciprocal subband sizes as fractions of the image area.
double reciprocalSizeOf(int band) {
  if (band < 4) return 1.0 / 1024.0;
  if (band < 51) return 1.0 / 256.0;
  return 1.0 / 16.0;
}

}  // namespace

void variance(QuantParams& params, const float* fip, int width, const WsqTrees& trees) {
  float lowSum = 0.0f;
  for (int band = 0; band < 4; ++band) {
    params.var[band] = centralVariance(fip, width, trees.q_tree[band]);
    lowSum += params.var[band];
  }
  if (lowSum < 20000.0f) {
    for (int band = 0; band < NUM_SUBBANDS; ++band) {
      params.var[band] = wholeVariance(fip, width, trees.q_tree[band]);
    }
  } else {
    for (int band = 4; band < NUM_SUBBANDS; ++band) {
      params.var[band] = centralVariance(fip, width, trees.q_tree[band]);
    }
  }
}

int quantize(int16_t* sip, int* cmp_siz, QuantParams& params, const WsqTrees& trees, const float* fip,
             int width, int /*height*/) {
  // Relative bin widths.
  double relative[NUM_SUBBANDS] = {};
  for (int band = 0; band < NUM_SUBBANDS; ++band) {
    if (params.var[band] < kVarianceFloor) {
      relative[band] = 0.0;
    } else if (band < 4) {
      relative[band] = 1.0;
    } else {
      relative[band] = 10.0 / (weightOf(band) * std::log(static_cast<double>(params.var[band])));
    }
  }

  int16_t* out = sip;

  // Retained subbands; the ones whose bins would span more than five standard deviations are dropped
  // and the overall factor q is found again without them.
  int kept[NUM_SUBBANDS];
  int keptCount = 0;
  for (int band = 0; band < NUM_SUBBANDS; ++band) {
    if (params.var[band] >= kVarianceFloor) kept[keptCount++] = band;
  }
  const int firstKeptCount = keptCount;
  int firstKept[NUM_SUBBANDS];
  for (int i = 0; i < keptCount; ++i) firstKept[i] = kept[i];

  double q = 1.0;
  while (keptCount > 0) {
    double sizeSum = 0.0;
    double product = 1.0;
    for (int i = 0; i < keptCount; ++i) {
      const int band = kept[i];
      const double m = reciprocalSizeOf(band);
      sizeSum += m;
      product *= std::pow(std::sqrt(static_cast<double>(params.var[band])) / relative[band], m);
    }
    q = (std::pow(2.0, static_cast<double>(params.r) / sizeSum - 1.0) / 2.5) / std::pow(product, 1.0 / sizeSum);
    int remaining = 0;
    for (int i = 0; i < keptCount; ++i) {
      const int band = kept[i];
      const double sigma = std::sqrt(static_cast<double>(params.var[band]));
      if (!(relative[band] / q >= 5.0 * sigma)) kept[remaining++] = band;
    }
    if (remaining == keptCount) break;
    keptCount = remaining;
  }

  for (int band = 0; band < Q_TREELEN; ++band) params.qbss[band] = 0.0f;
  for (int i = 0; i < firstKeptCount; ++i) {
    const int band = firstKept[i];
    params.qbss[band] = static_cast<float>(relative[band] / q);
  }
  for (int band = 0; band < Q_TREELEN; ++band) params.qzbs[band] = 1.2f * params.qbss[band];

  int count = 0;
  for (int band = 0; band < NUM_SUBBANDS; ++band) {
    const float Q = params.qbss[band];
    if (Q == 0.0f) continue;
    const float halfZ = params.qzbs[band] / 2.0f;
    const QuantNode& node = trees.q_tree[band];
    for (int row = 0; row < node.leny; ++row) {
      const float* p = fip + static_cast<size_t>(node.y + row) * width + node.x;
      int16_t* o = out + count;
      unsigned inRange = 1;
      for (int col = 0; col < node.lenx; ++col) {
        const float x = p[col];
        // (x - Z/2) / Q + 1 above the zero bin and (x + Z/2) / Q - 1 below it are the same magnitude
        // with the sign of x: negation is exact, so one expression serves both and the loop vectorises.
        const float magnitude = (std::fabs(x) - halfZ) / Q + 1.0f;
        const float value = (-halfZ <= x && x <= halfZ) ? 0.0f : std::copysign(magnitude, x);
        // Non-finite coefficients (a non-finite bit rate) fail here too.
        const bool fits = value > -32768.0f && value < 32768.0f;
        inRange &= fits ? 1u : 0u;
        o[col] = static_cast<int16_t>(static_cast<int>(fits ? value : 0.0f));
      }
      if (!inRange) {
        std::fprintf(stderr, "ERROR : quantize : coefficient too large in subband %d\n", band);
        return -93;
      }
      count += node.lenx;
    }
  }
  *cmp_siz = count;
  return 0;
}

void quant_block_sizes(int* qsize1, int* qsize2, int* qsize3, const QuantParams& params,
                       const WsqTrees& trees) {
  int sizes[NUM_BLOCKS] = {0, 0, 0};
  for (int block = 0; block < NUM_BLOCKS; ++block) {
    for (int band = BLOCK_FIRST[block]; band < BLOCK_END[block]; ++band) {
      if (params.qbss[band] != 0.0f) sizes[block] += trees.q_tree[band].lenx * trees.q_tree[band].leny;
    }
  }
  *qsize1 = sizes[0];
  *qsize2 = sizes[1];
  *qsize3 = sizes[2];
}

}  // namespace wsq
