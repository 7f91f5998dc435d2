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
// The 128-bit loops start at `from` (where a wider loop stopped) and return where they stopped.
int sse2AnalysisPair(float* low, float* high, int from, int count, const float* const* src) {
  int i = from;
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

// Both sums of the eight analysis outputs from `at` on.
WSQ_AVX_FUNCTION inline void avxAnalysisSums(const float* const* src, int at, __m256& low, __m256& high) {
  low = high = _mm256_setzero_ps();
  for (int t = 0; t < LO_FILTER_LEN; ++t) {
    const __m256 x = _mm256_loadu_ps(src[t] + at);
    low = _mm256_add_ps(low, _mm256_mul_ps(_mm256_set1_ps(LO_FILTER[t]), x));
    if (t < HI_FILTER_LEN) high = _mm256_add_ps(high, _mm256_mul_ps(_mm256_set1_ps(HI_FILTER[t]), x));
  }
}

WSQ_AVX_FUNCTION int avxAnalysisPair(float* low, float* high, int count, const float* const* src) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    __m256 la, ha, lb, hb;
    avxAnalysisSums(src, i, la, ha);
    avxAnalysisSums(src, i + 8, lb, hb);
    _mm256_storeu_ps(low + i, la);
    _mm256_storeu_ps(low + i + 8, lb);
    _mm256_storeu_ps(high + i, ha);
    _mm256_storeu_ps(high + i + 8, hb);
  }
  return i;
}

// The synthesis pair's taps, every term in order: even low, even high, odd low, odd high.
struct PairTerms {
  float evenLow[3], evenHigh[4], oddLow[4], oddHigh[5];
  explicit PairTerms(const SynthesisPairTaps& k)
      : evenLow{k.evenLow[0], k.evenLow[1], k.evenLow[0]},
        evenHigh{k.evenHigh[0], k.evenHigh[1], k.evenHigh[1], k.evenHigh[0]},
        oddLow{k.oddLow[0], k.oddLow[1], k.oddLow[1], k.oddLow[0]},
        oddHigh{k.oddHigh[0], k.oddHigh[1], k.oddHigh[2], k.oddHigh[1], k.oddHigh[0]} {}
};

// Output pair i of the synthesis: each sample loaded once, added into the even and the odd sum in the
// order of their terms.
struct PairSums {
  float even, odd;
};
inline PairSums onePair(const float* const* low, const float* const* high, const PairTerms& k, int i) {
  float e = 0.0f, o = 0.0f;
  for (int j = 0; j < 3; ++j) e += k.evenLow[j] * low[j][i];
  for (int j = 0; j < 4; ++j) o += k.oddLow[j] * low[j][i];
  for (int j = 0; j < 4; ++j) e += k.evenHigh[j] * high[j][i];
  for (int j = 0; j < 5; ++j) o += k.oddHigh[j] * high[j][i];
  return {e, o};
}

// The vector loops: Interleave stores the pairs side by side, otherwise into two rows. The nine distinct
// taps are held in registers for the whole loop (the outputs, being floats too, could otherwise alias
// them). Each returns the number of pairs done.
template <bool Interleave>
int sse2SynthesisPairs(float* even, float* odd, int from, int count, const float* const* low,
                       const float* const* high, const SynthesisPairTaps& k) {
  const __m128 el0 = _mm_set1_ps(k.evenLow[0]), el1 = _mm_set1_ps(k.evenLow[1]);
  const __m128 eh0 = _mm_set1_ps(k.evenHigh[0]), eh1 = _mm_set1_ps(k.evenHigh[1]);
  const __m128 ol0 = _mm_set1_ps(k.oddLow[0]), ol1 = _mm_set1_ps(k.oddLow[1]);
  const __m128 oh0 = _mm_set1_ps(k.oddHigh[0]), oh1 = _mm_set1_ps(k.oddHigh[1]), oh2 = _mm_set1_ps(k.oddHigh[2]);
  const float* const l0 = low[0]; const float* const l1 = low[1]; const float* const l2 = low[2];
  const float* const l3 = low[3];
  const float* const h0 = high[0]; const float* const h1 = high[1]; const float* const h2 = high[2];
  const float* const h3 = high[3]; const float* const h4 = high[4];
  int i = from;
  for (; i + 4 <= count; i += 4) {
    __m128 e = _mm_setzero_ps(), o = _mm_setzero_ps(), x;
    x = _mm_loadu_ps(l0 + i); e = _mm_add_ps(e, _mm_mul_ps(el0, x)); o = _mm_add_ps(o, _mm_mul_ps(ol0, x));
    x = _mm_loadu_ps(l1 + i); e = _mm_add_ps(e, _mm_mul_ps(el1, x)); o = _mm_add_ps(o, _mm_mul_ps(ol1, x));
    x = _mm_loadu_ps(l2 + i); e = _mm_add_ps(e, _mm_mul_ps(el0, x)); o = _mm_add_ps(o, _mm_mul_ps(ol1, x));
    x = _mm_loadu_ps(l3 + i); o = _mm_add_ps(o, _mm_mul_ps(ol0, x));
    x = _mm_loadu_ps(h0 + i); e = _mm_add_ps(e, _mm_mul_ps(eh0, x)); o = _mm_add_ps(o, _mm_mul_ps(oh0, x));
    x = _mm_loadu_ps(h1 + i); e = _mm_add_ps(e, _mm_mul_ps(eh1, x)); o = _mm_add_ps(o, _mm_mul_ps(oh1, x));
    x = _mm_loadu_ps(h2 + i); e = _mm_add_ps(e, _mm_mul_ps(eh1, x)); o = _mm_add_ps(o, _mm_mul_ps(oh2, x));
    x = _mm_loadu_ps(h3 + i); e = _mm_add_ps(e, _mm_mul_ps(eh0, x)); o = _mm_add_ps(o, _mm_mul_ps(oh1, x));
    x = _mm_loadu_ps(h4 + i); o = _mm_add_ps(o, _mm_mul_ps(oh0, x));
    if (Interleave) {
      _mm_storeu_ps(even + 2 * i, _mm_unpacklo_ps(e, o));
      _mm_storeu_ps(even + 2 * i + 4, _mm_unpackhi_ps(e, o));
    } else {
      _mm_storeu_ps(even + i, e);
      _mm_storeu_ps(odd + i, o);
    }
  }
  return i;
}

template <bool Interleave>
WSQ_AVX_FUNCTION int avxSynthesisPairs(float* even, float* odd, int count, const float* const* low,
                                       const float* const* high, const SynthesisPairTaps& k) {
  const __m256 el0 = _mm256_set1_ps(k.evenLow[0]), el1 = _mm256_set1_ps(k.evenLow[1]);
  const __m256 eh0 = _mm256_set1_ps(k.evenHigh[0]), eh1 = _mm256_set1_ps(k.evenHigh[1]);
  const __m256 ol0 = _mm256_set1_ps(k.oddLow[0]), ol1 = _mm256_set1_ps(k.oddLow[1]);
  const __m256 oh0 = _mm256_set1_ps(k.oddHigh[0]), oh1 = _mm256_set1_ps(k.oddHigh[1]);
  const __m256 oh2 = _mm256_set1_ps(k.oddHigh[2]);
  const float* const l0 = low[0]; const float* const l1 = low[1]; const float* const l2 = low[2];
  const float* const l3 = low[3];
  const float* const h0 = high[0]; const float* const h1 = high[1]; const float* const h2 = high[2];
  const float* const h3 = high[3]; const float* const h4 = high[4];
  int i = 0;
  // Two groups of eight pairs at a time: four independent sums keep the adder busy while each waits for
  // its previous addition.
  for (; i + 16 <= count; i += 16) {
    __m256 e[2] = {_mm256_setzero_ps(), _mm256_setzero_ps()}, o[2] = {_mm256_setzero_ps(), _mm256_setzero_ps()};
    for (int g = 0; g < 2; ++g) {
      const int at = i + 8 * g;
      __m256 x;
      x = _mm256_loadu_ps(l0 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(el0, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(ol0, x));
      x = _mm256_loadu_ps(l1 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(el1, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(ol1, x));
      x = _mm256_loadu_ps(l2 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(el0, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(ol1, x));
      x = _mm256_loadu_ps(l3 + at); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(ol0, x));
      x = _mm256_loadu_ps(h0 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(eh0, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(oh0, x));
      x = _mm256_loadu_ps(h1 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(eh1, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(oh1, x));
      x = _mm256_loadu_ps(h2 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(eh1, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(oh2, x));
      x = _mm256_loadu_ps(h3 + at); e[g] = _mm256_add_ps(e[g], _mm256_mul_ps(eh0, x)); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(oh1, x));
      x = _mm256_loadu_ps(h4 + at); o[g] = _mm256_add_ps(o[g], _mm256_mul_ps(oh0, x));
    }
    for (int g = 0; g < 2; ++g) {
      const int at = i + 8 * g;
      if (Interleave) {
        // Lanes (e0 o0 e1 o1 | e4 o4 e5 o5) and (e2 o2 e3 o3 | e6 o6 e7 o7), put in order.
        const __m256 a = _mm256_unpacklo_ps(e[g], o[g]), b = _mm256_unpackhi_ps(e[g], o[g]);
        _mm256_storeu_ps(even + 2 * at, _mm256_permute2f128_ps(a, b, 0x20));
        _mm256_storeu_ps(even + 2 * at + 8, _mm256_permute2f128_ps(a, b, 0x31));
      } else {
        _mm256_storeu_ps(even + at, e[g]);
        _mm256_storeu_ps(odd + at, o[g]);
      }
    }
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
  // The last outputs the wider loop leaves go through the 128-bit one (the same operations per lane).
  if (path == VectorPath::Avx) done = avxAnalysisPair(low, high, count, in);
  if (path != VectorPath::Scalar) done = sse2AnalysisPair(low, high, done, count, in);
#endif
  for (int i = done; i < count; ++i) {
    low[i] = oneOutput(in, LO_FILTER, LO_FILTER_LEN, i);
    high[i] = oneOutput(in, HI_FILTER, HI_FILTER_LEN, i);
  }
}

namespace {

template <bool Interleave>
void synthesisPairsOn(float* even, float* odd, int count, const float* const* low, const float* const* high,
                      const SynthesisPairTaps& taps) {
  int done = 0;
#if WSQ_HAVE_SSE2
  const VectorPath path = currentVectorPath();
  // The last pairs the wider loop leaves go through the 128-bit one (the same operations per lane).
  if (path == VectorPath::Avx) done = avxSynthesisPairs<Interleave>(even, odd, count, low, high, taps);
  if (path != VectorPath::Scalar) done = sse2SynthesisPairs<Interleave>(even, odd, done, count, low, high, taps);
#endif
  const PairTerms terms(taps);
  for (int i = done; i < count; ++i) {
    const PairSums sums = onePair(low, high, terms, i);
    if (Interleave) {
      even[2 * i] = sums.even;
      even[2 * i + 1] = sums.odd;
    } else {
      even[i] = sums.even;
      odd[i] = sums.odd;
    }
  }
}

}  // namespace

void synthesisPairs(float* even, float* odd, int count, const float* const* low, const float* const* high,
                    const SynthesisPairTaps& taps) {
  synthesisPairsOn<false>(even, odd, count, low, high, taps);
}

void synthesisPairsInterleaved(float* out, int count, const float* const* low, const float* const* high,
                               const SynthesisPairTaps& taps) {
  synthesisPairsOn<true>(out, nullptr, count, low, high, taps);
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
