// wsq_quantize.cpp: variances, bin widths and quantisation.
#include "wsq_quantize.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

#include "wsq_filter_kernel.h"
#include "wsq_simd.h"

namespace wsq {
namespace {

constexpr float kVarianceFloor = 1.01f;

struct Rect {
  int x, y, w, h;
};

Rect centralRect(const QuantNode& q) {
  return {q.x + q.lenx / 8, q.y + (9 * q.leny) / 32, (3 * q.lenx) / 4, (7 * q.leny) / 16};
}

Rect wholeRect(const QuantNode& q) { return {q.x, q.y, q.lenx, q.leny}; }

// Sample variances (sum x^2 - (sum x)^2 / N) / (N - 1) of N rectangles of one size. Each rectangle is
// summed alone, row by row, in double; the N sums only run side by side, so that the processor overlaps
// their additions. A rectangle of fewer than two samples has no spread to measure: 0, which drops the
// subband.
template <int N>
void sameSizeVariances(const float* fip, int width, const Rect* rects, float* out) {
  const long long count = static_cast<long long>(rects[0].w) * rects[0].h;
  if (count < 2) {
    for (int k = 0; k < N; ++k) out[k] = 0.0f;
    return;
  }
  double sum[N], squares[N];
  for (int k = 0; k < N; ++k) sum[k] = squares[k] = 0.0;
  for (int row = 0; row < rects[0].h; ++row) {
    const float* p[N];
    for (int k = 0; k < N; ++k) p[k] = fip + static_cast<size_t>(rects[k].y + row) * width + rects[k].x;
    for (int col = 0; col < rects[0].w; ++col) {
      for (int k = 0; k < N; ++k) {
        const float x = p[k][col];
        sum[k] += x;
        squares[k] += static_cast<double>(x) * x;
      }
    }
  }
  for (int k = 0; k < N; ++k) out[k] = static_cast<float>((squares[k] - sum[k] * sum[k] / count) / (count - 1));
}

// Variances of subbands first..last-1 over the rectangles `rectOf` gives, up to four neighbours of one
// size at a time.
void bandVariances(float* var, const float* fip, int width, const WsqTrees& trees, int first, int last,
                   Rect (*rectOf)(const QuantNode&)) {
  for (int band = first; band < last;) {
    Rect rects[4];
    rects[0] = rectOf(trees.q_tree[band]);
    int n = 1;
    while (n < 4 && band + n < last) {
      const Rect next = rectOf(trees.q_tree[band + n]);
      if (next.w != rects[0].w || next.h != rects[0].h) break;
      rects[n++] = next;
    }
    switch (n) {
      case 4: sameSizeVariances<4>(fip, width, rects, var + band); break;
      case 3: sameSizeVariances<3>(fip, width, rects, var + band); break;
      case 2: sameSizeVariances<2>(fip, width, rects, var + band); break;
      default: sameSizeVariances<1>(fip, width, rects, var + band); break;
    }
    band += n;
  }
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

#if WSQ_HAVE_SSE2
// The scalar loop's operations lane by lane: |x|, - Z/2, / Q, + 1, the sign of x, 0 in the zero bin,
// truncation towards zero. Each returns the number of values done and clears `fits` when one of them
// does not fit 16 bits (values that fit pass the saturating pack unchanged).
int quantizeSse2(const float* p, int16_t* o, int count, float Q, float halfZ, bool& fits) {
  const __m128 sign = _mm_set1_ps(-0.0f);
  const __m128 vHalfZ = _mm_set1_ps(halfZ), vNegHalfZ = _mm_set1_ps(-halfZ), vQ = _mm_set1_ps(Q);
  const __m128 one = _mm_set1_ps(1.0f), low = _mm_set1_ps(-32768.0f), high = _mm_set1_ps(32768.0f);
  __m128 allFit = _mm_castsi128_ps(_mm_set1_epi32(-1));
  int col = 0;
  for (; col + 8 <= count; col += 8) {
    __m128i halves[2];
    for (int h = 0; h < 2; ++h) {
      const __m128 x = _mm_loadu_ps(p + col + 4 * h);
      const __m128 magnitude = _mm_add_ps(_mm_div_ps(_mm_sub_ps(_mm_andnot_ps(sign, x), vHalfZ), vQ), one);
      const __m128 signed_ = _mm_or_ps(_mm_andnot_ps(sign, magnitude), _mm_and_ps(sign, x));
      const __m128 zeroBin = _mm_and_ps(_mm_cmple_ps(vNegHalfZ, x), _mm_cmple_ps(x, vHalfZ));
      const __m128 value = _mm_andnot_ps(zeroBin, signed_);
      allFit = _mm_and_ps(allFit, _mm_and_ps(_mm_cmpgt_ps(value, low), _mm_cmplt_ps(value, high)));
      halves[h] = _mm_cvttps_epi32(value);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + col), _mm_packs_epi32(halves[0], halves[1]));
  }
  fits = fits && _mm_movemask_ps(allFit) == 0xF;
  return col;
}

WSQ_AVX_FUNCTION int quantizeAvx(const float* p, int16_t* o, int count, float Q, float halfZ, bool& fits) {
  const __m256 sign = _mm256_set1_ps(-0.0f);
  const __m256 vHalfZ = _mm256_set1_ps(halfZ), vNegHalfZ = _mm256_set1_ps(-halfZ), vQ = _mm256_set1_ps(Q);
  const __m256 one = _mm256_set1_ps(1.0f), low = _mm256_set1_ps(-32768.0f), high = _mm256_set1_ps(32768.0f);
  __m256 allFit = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
  int col = 0;
  for (; col + 8 <= count; col += 8) {
    const __m256 x = _mm256_loadu_ps(p + col);
    const __m256 magnitude =
        _mm256_add_ps(_mm256_div_ps(_mm256_sub_ps(_mm256_andnot_ps(sign, x), vHalfZ), vQ), one);
    const __m256 signed_ = _mm256_or_ps(_mm256_andnot_ps(sign, magnitude), _mm256_and_ps(sign, x));
    const __m256 zeroBin =
        _mm256_and_ps(_mm256_cmp_ps(vNegHalfZ, x, _CMP_LE_OQ), _mm256_cmp_ps(x, vHalfZ, _CMP_LE_OQ));
    const __m256 value = _mm256_andnot_ps(zeroBin, signed_);
    allFit = _mm256_and_ps(allFit, _mm256_and_ps(_mm256_cmp_ps(value, low, _CMP_GT_OQ),
                                                 _mm256_cmp_ps(value, high, _CMP_LT_OQ)));
    const __m256i ints = _mm256_cvttps_epi32(value);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + col),
                     _mm_packs_epi32(_mm256_castsi256_si128(ints), _mm256_extractf128_si256(ints, 1)));
  }
  fits = fits && _mm256_movemask_ps(allFit) == 0xFF;
  return col;
}
#endif

// Quantises `count` coefficients of one row into `o`. Returns false when a value does not fit in 16 bits
// (or is not finite: a non-finite bit rate), leaving the row's values unspecified.
bool quantizeRow(const float* p, int16_t* o, int count, float Q, float halfZ) {
  int col = 0;
  bool fits = true;
#if WSQ_HAVE_SSE2
  const VectorPath path = currentVectorPath();
  if (path == VectorPath::Avx) col = quantizeAvx(p, o, count, Q, halfZ, fits);
  else if (path == VectorPath::Sse2) col = quantizeSse2(p, o, count, Q, halfZ, fits);
#endif
  for (; col < count; ++col) {
    const float x = p[col];
    // (x - Z/2) / Q + 1 above the zero bin and (x + Z/2) / Q - 1 below it are the same magnitude with
    // the sign of x: negation is exact, so one expression serves both.
    const float magnitude = (std::fabs(x) - halfZ) / Q + 1.0f;
    const float value = (-halfZ <= x && x <= halfZ) ? 0.0f : std::copysign(magnitude, x);
    const bool inRange = value > -32768.0f && value < 32768.0f;
    fits = fits && inRange;
    o[col] = static_cast<int16_t>(static_cast<int>(inRange ? value : 0.0f));
  }
  return fits;
}

// Quantises every subband with Q != 0 into `out`, subband after subband, row by row, counting the values
// in `count`. Returns 0, or -93 when a value does not fit 16 bits.
int quantizeBands(int16_t* out, int& count, const QuantParams& params, const WsqTrees& trees, const float* fip,
                  int width) {
  for (int band = 0; band < NUM_SUBBANDS; ++band) {
    const float Q = params.qbss[band];
    if (Q == 0.0f) continue;
    const float halfZ = params.qzbs[band] / 2.0f;
    const QuantNode& node = trees.q_tree[band];
    for (int row = 0; row < node.leny; ++row) {
      const float* p = fip + static_cast<size_t>(node.y + row) * width + node.x;
      if (!quantizeRow(p, out + count, node.lenx, Q, halfZ)) return -93;
      count += node.lenx;
    }
  }
  return 0;
}

}  // namespace

void variance(QuantParams& params, const float* fip, int width, const WsqTrees& trees) {
  bandVariances(params.var, fip, width, trees, 0, 4, centralRect);
  float lowSum = 0.0f;
  for (int band = 0; band < 4; ++band) lowSum += params.var[band];
  if (lowSum < 20000.0f) {
    bandVariances(params.var, fip, width, trees, 0, NUM_SUBBANDS, wholeRect);
  } else {
    bandVariances(params.var, fip, width, trees, 4, NUM_SUBBANDS, centralRect);
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
  if (quantizeBands(sip, count, params, trees, fip, width) == 0) {
    *cmp_siz = count;
    return 0;
  }
  // Some value does not fit 16 bits. The bit allocation spreads the rate over the nominal share of the
  // subbands that are kept; a tiny or thin image keeps few of them, and a bit rate far above what the
  // coder is meant for does the same to any image: the bins come out finer than 16-bit values can count.
  // Widen every bin by one factor, so that the largest value is about 16384, and quantise again. Images
  // whose values fit are never touched by this.
  double largest = 0.0;
  for (int band = 0; band < NUM_SUBBANDS; ++band) {
    const float Q = params.qbss[band];
    if (Q == 0.0f) continue;
    const QuantNode& node = trees.q_tree[band];
    for (int row = 0; row < node.leny; ++row) {
      const float* p = fip + static_cast<size_t>(node.y + row) * width + node.x;
      for (int col = 0; col < node.lenx; ++col) {
        const double ratio = std::fabs(static_cast<double>(p[col])) / Q;
        largest = ratio > largest || std::isnan(ratio) ? ratio : largest;
      }
    }
  }
  const double widen = largest / 16384.0;
  if (std::isfinite(widen) && widen > 1.0) {
    for (int band = 0; band < NUM_SUBBANDS; ++band) {
      params.qbss[band] = static_cast<float>(params.qbss[band] * widen);
      params.qzbs[band] = 1.2f * params.qbss[band];
    }
    count = 0;
    if (quantizeBands(sip, count, params, trees, fip, width) == 0) {
      *cmp_siz = count;
      return 0;
    }
  }
  std::fprintf(stderr, "ERROR : quantize : coefficients do not fit 16 bits\n");
  return -93;
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
