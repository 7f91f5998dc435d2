// wsq_filter_kernel.cpp: the sum of products, unrolled for the term counts of the filters in use so the
// compiler vectorises it across outputs.
#include "wsq_filter_kernel.h"

namespace wsq {
namespace {

// Terms are fixed at compile time: one pass over the outputs with the running sum in a register.
template <int N>
void fixedTerms(float* out, int count, const float* const* in, const float* taps) {
  const float* src[N];
  float tap[N];
  for (int t = 0; t < N; ++t) {
    src[t] = in[t];
    tap[t] = taps[t];
  }
  for (int i = 0; i < count; ++i) {
    float sum = 0.0f;
    for (int t = 0; t < N; ++t) sum += tap[t] * src[t][i];
    out[i] = sum;
  }
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
