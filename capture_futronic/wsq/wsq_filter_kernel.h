// wsq_filter_kernel.h: the inner loop of both wavelet transforms: many outputs, each a sum of products
// with the same taps over samples at the same relative places. Each output is summed in a fixed order
// (0, then the terms one by one), so results do not depend on how the loop is vectorised: scalar, SSE2
// (4 outputs at once) and AVX (8 at once, chosen at run time where the processor and the system have it)
// give the same bits. Pure; any thread.
#pragma once

namespace wsq {

// out[i] = ((0 + taps[0] * in[0][i]) + taps[1] * in[1][i]) + ... + taps[n-1] * in[n-1][i] for i < count.
// `out` may not overlap any input.
void sumOfProducts(float* out, int count, const float* const* in, const float* taps, int n);

// Both analysis filters over the same samples: low[i] is the sum above with the nine low-pass taps over
// in[0..8], high[i] the one with the seven high-pass taps over in[0..6], for i < count; every sample is
// read once for both. Neither output may overlap an input.
void analysisPair(float* low, float* high, int count, const float* const* in);

// The inverse transform's output pairs for the filter pair in common use (nine and seven taps): the even
// output of a pair sums three low-half samples (offsets -1, 0, 1 from its position in the half) and then
// four high-half samples (-2 .. 1), the odd output four low (-1 .. 2) and then five high (-2 .. 2), each
// from 0, term by term, as sumOfProducts does. low[j] is the run of low-half samples at offset j - 1 for
// pair 0, 1, ...; high[j] likewise at offset j - 2. Every sample is read once for both outputs. The
// filters are symmetric, so each group of taps reads the same from either end: the taps are its first
// half, centre included (evenLow {a, b} stands for a, b, a; oddHigh {a, b, c} for a, b, c, b, a).
struct SynthesisPairTaps {
  float evenLow[2], evenHigh[2], oddLow[2], oddHigh[3];
};
// Pair i into even[i] and odd[i] (two output rows of a column pass).
void synthesisPairs(float* even, float* odd, int count, const float* const* low, const float* const* high,
                    const SynthesisPairTaps& taps);
// Pair i into out[2i] and out[2i + 1] (a stretch of an output row).
void synthesisPairsInterleaved(float* out, int count, const float* const* low, const float* const* high,
                               const SynthesisPairTaps& taps);

// The widest vectors the codec's loops use (this sum, the conversion to floats and the quantisation).
// By default the widest this processor offers; tests and benchmarks narrow it, for the whole process,
// to compare the paths. Returns the path now in use (never wider than the processor has).
enum class VectorPath { Scalar, Sse2, Avx };
VectorPath useVectorPath(VectorPath widest);
VectorPath widestVectorPath();
VectorPath currentVectorPath();

}  // namespace wsq
