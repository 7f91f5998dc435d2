// wsq_filter_kernel.cpp: the sum of products, with the term count fixed at compile time for the filters
// in use, many outputs at a time in vector registers.
#include "wsq_filter_kernel.h"

#include <atomic>

#include "wsq_format.h"
#include "wsq_simd.h"


namespace wsq {
namespace {

// Output i alone, its terms in order: the loop tail and the scalar path.
inline float oneOutput(const float* const* src, const float* tap, int n, int i) {
  float sum = 0.0f;
  for (int t = 0; t < n; ++t) sum += tap[t] * src[t][i];
  return sum;
}

template <int N>
void scalarTerms(float* out, int from, int count, const float* const* src, const float* tap) {
  for (int i = from; i < count; ++i) out[i] = oneOutput(src, tap, N, i);
}

#if WSQ_HAVE_SSE2
// Each lane is one output: 0, then + tap * sample term by term, as the scalar loop does. Returns the
// number of outputs done (a multiple of 4).
template <int N>
int sse2Terms(float* out, int count, const float* const* src, const float* tap) {
  __m128 tapv[N];
  for (int t = 0; t < N; ++t) tapv[t] = _mm_set1_ps(tap[t]);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128 a = _mm_setzero_ps(), b = _mm_setzero_ps();
    for (int t = 0; t < N; ++t) {
      a = _mm_add_ps(a, _mm_mul_ps(tapv[t], _mm_loadu_ps(src[t] + i)));
      b = _mm_add_ps(b, _mm_mul_ps(tapv[t], _mm_loadu_ps(src[t] + i + 4)));
    }
    _mm_storeu_ps(out + i, a);
    _mm_storeu_ps(out + i + 4, b);
  }
  if (i + 4 <= count) {
    __m128 a = _mm_setzero_ps();
    for (int t = 0; t < N; ++t) a = _mm_add_ps(a, _mm_mul_ps(tapv[t], _mm_loadu_ps(src[t] + i)));
    _mm_storeu_ps(out + i, a);
    i += 4;
  }
  return i;
}

// The same with 8 lanes. Compiled for AVX without FMA, so each product is rounded before its addition
// exactly as in the other paths; the tail runs in the same function (VEX-encoded, no transition cost).
template <int N>
WSQ_AVX_FUNCTION void avxTerms(float* out, int count, const float* const* src, const float* tap) {
  __m256 tapv[N];
  for (int t = 0; t < N; ++t) tapv[t] = _mm256_set1_ps(tap[t]);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    __m256 a = _mm256_setzero_ps(), b = _mm256_setzero_ps();
    for (int t = 0; t < N; ++t) {
      a = _mm256_add_ps(a, _mm256_mul_ps(tapv[t], _mm256_loadu_ps(src[t] + i)));
      b = _mm256_add_ps(b, _mm256_mul_ps(tapv[t], _mm256_loadu_ps(src[t] + i + 8)));
    }
    _mm256_storeu_ps(out + i, a);
    _mm256_storeu_ps(out + i + 8, b);
  }
  for (; i + 8 <= count; i += 8) {
    __m256 a = _mm256_setzero_ps();
    for (int t = 0; t < N; ++t) a = _mm256_add_ps(a, _mm256_mul_ps(tapv[t], _mm256_loadu_ps(src[t] + i)));
    _mm256_storeu_ps(out + i, a);
  }
  for (; i < count; ++i) {
    float sum = 0.0f;
    for (int t = 0; t < N; ++t) sum += tap[t] * src[t][i];
    out[i] = sum;
  }
}

// The analysis pair: the low-pass output from the nine samples and the high-pass output from the first
// seven of them. Each sample is loaded once for both sums; each sum still runs 0, then tap by tap. The
// taps are constants, so the compiler keeps one register per distinct value (both filters are symmetric).
int sse2AnalysisPair(float* low, float* high, int count, const float* const* src) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128 la = _mm_setzero_ps(), lb = _mm_setzero_ps(), ha = _mm_setzero_ps(), hb = _mm_setzero_ps();
    for (int t = 0; t < LO_FILTER_LEN; ++t) {
      const __m128 xa = _mm_loadu_ps(src[t] + i), xb = _mm_loadu_ps(src[t] + i + 4);
      const __m128 lt = _mm_set1_ps(LO_FILTER[t]);
      la = _mm_add_ps(la, _mm_mul_ps(lt, xa));
      lb = _mm_add_ps(lb, _mm_mul_ps(lt, xb));
      if (t < HI_FILTER_LEN) {
        const __m128 ht = _mm_set1_ps(HI_FILTER[t]);
        ha = _mm_add_ps(ha, _mm_mul_ps(ht, xa));
        hb = _mm_add_ps(hb, _mm_mul_ps(ht, xb));
      }
    }
    _mm_storeu_ps(low + i, la);
    _mm_storeu_ps(low + i + 4, lb);
    _mm_storeu_ps(high + i, ha);
    _mm_storeu_ps(high + i + 4, hb);
  }
  return i;
}

WSQ_AVX_FUNCTION int avxAnalysisPair(float* low, float* high, int count, const float* const* src) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    __m256 la = _mm256_setzero_ps(), lb = _mm256_setzero_ps(), ha = _mm256_setzero_ps(), hb = _mm256_setzero_ps();
    for (int t = 0; t < LO_FILTER_LEN; ++t) {
      const __m256 xa = _mm256_loadu_ps(src[t] + i), xb = _mm256_loadu_ps(src[t] + i + 8);
      const __m256 lt = _mm256_set1_ps(LO_FILTER[t]);
      la = _mm256_add_ps(la, _mm256_mul_ps(lt, xa));
      lb = _mm256_add_ps(lb, _mm256_mul_ps(lt, xb));
      if (t < HI_FILTER_LEN) {
        const __m256 ht = _mm256_set1_ps(HI_FILTER[t]);
        ha = _mm256_add_ps(ha, _mm256_mul_ps(ht, xa));
        hb = _mm256_add_ps(hb, _mm256_mul_ps(ht, xb));
      }
    }
    _mm256_storeu_ps(low + i, la);
    _mm256_storeu_ps(low + i + 8, lb);
    _mm256_storeu_ps(high + i, ha);
    _mm256_storeu_ps(high + i + 8, hb);
  }
  for (; i + 8 <= count; i += 8) {
    __m256 la = _mm256_setzero_ps(), ha = _mm256_setzero_ps();
    for (int t = 0; t < LO_FILTER_LEN; ++t) {
      const __m256 x = _mm256_loadu_ps(src[t] + i);
      la = _mm256_add_ps(la, _mm256_mul_ps(_mm256_set1_ps(LO_FILTER[t]), x));
      if (t < HI_FILTER_LEN) ha = _mm256_add_ps(ha, _mm256_mul_ps(_mm256_set1_ps(HI_FILTER[t]), x));
    }
    _mm256_storeu_ps(low + i, la);
    _mm256_storeu_ps(high + i, ha);
  }
  return i;
}

// AVX needs the processor's support and the system's saving of the 256-bit registers (XCR0 bits 1, 2).
bool processorHasAvx() {
#if defined(_MSC_VER) && !defined(__clang__)
  int info[4];
  __cpuid(info, 1);
  const bool avx = (info[2] & (1 << 28)) != 0, osxsave = (info[2] & (1 << 27)) != 0;
  return avx && osxsave && (_xgetbv(0) & 6) == 6;
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx") != 0;
#endif
}
#endif

VectorPath detectWidest() {
#if WSQ_HAVE_SSE2
  return processorHasAvx() ? VectorPath::Avx : VectorPath::Sse2;
#else
  return VectorPath::Scalar;
#endif
}

std::atomic<int>& currentPath() {
  static std::atomic<int> path{static_cast<int>(detectWidest())};
  return path;
}

template <int N>
void fixedTerms(float* out, int count, const float* const* in, const float* taps) {
  const float* src[N];
  float tap[N];
  for (int t = 0; t < N; ++t) {
    src[t] = in[t];
    tap[t] = taps[t];
  }
  int done = 0;
#if WSQ_HAVE_SSE2
  const VectorPath path = currentVectorPath();
  if (path == VectorPath::Avx) {
    avxTerms<N>(out, count, src, tap);
    return;
  }
  if (path == VectorPath::Sse2) done = sse2Terms<N>(out, count, src, tap);
#endif
  scalarTerms<N>(out, done, count, src, tap);
}

// Any number of terms: the outputs are summed term by term, in the same order per output.
void anyTerms(float* out, int count, const float* const* in, const float* taps, int n) {
  for (int i = 0; i < count; ++i) out[i] = 0.0f;
  for (int t = 0; t < n; ++t) {
    const float* src = in[t];
    const float tap = taps[t];
    for (int i = 0; i < count; ++i) out[i] += tap * src[i];
  }
}

}  // namespace

VectorPath currentVectorPath() { return static_cast<VectorPath>(currentPath().load(std::memory_order_relaxed)); }

VectorPath widestVectorPath() {
  static const VectorPath widest = detectWidest();
  return widest;
}

VectorPath useVectorPath(VectorPath widest) {
  const VectorPath path = static_cast<int>(widest) < static_cast<int>(widestVectorPath()) ? widest : widestVectorPath();
  currentPath().store(static_cast<int>(path), std::memory_order_relaxed);
  return path;
}

void analysisPair(float* low, float* high, int count, const float* const* in) {
  int done = 0;
#if WSQ_HAVE_SSE2
  const VectorPath path = currentVectorPath();
  if (path == VectorPath::Avx) done = avxAnalysisPair(low, high, count, in);
  else if (path == VectorPath::Sse2) done = sse2AnalysisPair(low, high, count, in);
#endif
  for (int i = done; i < count; ++i) {
    low[i] = oneOutput(in, LO_FILTER, LO_FILTER_LEN, i);
    high[i] = oneOutput(in, HI_FILTER, HI_FILTER_LEN, i);
  }
}

void sumOfProducts(float* out, int count, const float* const* in, const float* taps, int n) {
  switch (n) {
    case 3: fixedTerms<3>(out, count, in, taps); break;
    case 4: fixedTerms<4>(out, count, in, taps); break;
    case 5: fixedTerms<5>(out, count, in, taps); break;
    case 6: fixedTerms<6>(out, count, in, taps); break;
    case 7: fixedTerms<7>(out, count, in, taps); break;
    case 8: fixedTerms<8>(out, count, in, taps); break;
    case 9: fixedTerms<9>(out, count, in, taps); break;
    default: anyTerms(out, count, in, taps, n); break;
  }
}

}  // namespace wsq
