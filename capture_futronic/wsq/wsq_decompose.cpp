// wsq_decompose.cpp: forward transform of the encoder.
//
// Output k of the low-pass half is sum_j LO[j] x[2k + 4 - j] (j = 0..8), of the high-pass half
// sum_j HI[j] x[2k + 4 - j] (j = 0..6), each summed from j = 0 upwards. A row is split into its even and
// odd samples, extended by mirroring, so that every term reads a contiguous run of samples; a column pass
// takes the terms as whole rows. Either way every output is the same sum in the same order.
#include "wsq_decompose.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "wsq_filter_kernel.h"
#include "wsq_simd.h"

namespace wsq {
namespace {

// Index of sample i of a whole-sample symmetric extension of n samples (mirror about the end samples
// without repeating them).
int mirrorWhole(int i, int n) {
  if (i >= 0 && i < n) return i;
  if (n == 1) return 0;
  const int period = 2 * (n - 1);
  i %= period;
  if (i < 0) i += period;
  return i < n ? i : period - i;
}

// Offset from 2k of the sample each tap multiplies, tap by tap; the high-pass taps take the first seven.
constexpr int kLowOffsets[LO_FILTER_LEN] = {4, 3, 2, 1, 0, -1, -2, -3, -4};
// Half samples of extension before and after each of the even and odd runs.
constexpr int kPad = 2;

// Even and odd samples of one row with kPad extended samples at either end, for rows of up to
// `longest` samples.
class RowSplit {
 public:
  RowSplit(float* storage, int longest) : even_(storage), odd_(storage + runLength(longest)) {}
  static int runLength(int longest) { return (longest + 1) / 2 + 2 * kPad; }

  void load(const float* in, int len) {
    const int half = (len + 1) / 2;
    const int pairs = len / 2;  // positions whose even and odd samples are both inside the row
    int i = 0;
#if WSQ_HAVE_SSE2
    for (; i + 4 <= pairs; i += 4) {
      const __m128 a = _mm_loadu_ps(in + 2 * i), b = _mm_loadu_ps(in + 2 * i + 4);
      _mm_storeu_ps(even_ + i + kPad, _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      _mm_storeu_ps(odd_ + i + kPad, _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
#endif
    for (; i < pairs; ++i) {
      even_[i + kPad] = in[2 * i];
      odd_[i + kPad] = in[2 * i + 1];
    }
    auto mirrored = [&](int i) {
      even_[i + kPad] = in[mirrorWhole(2 * i, len)];
      odd_[i + kPad] = in[mirrorWhole(2 * i + 1, len)];
    };
    for (int i = -kPad; i < 0; ++i) mirrored(i);
    for (int i = pairs; i < half + kPad; ++i) mirrored(i);
  }
  // The run that the tap at `offset` from 2k reads for k = 0, 1, ...
  const float* at(int offset) const {
    const int parity = offset & 1;
    return (parity ? odd_ : even_) + kPad + (offset - parity) / 2;
  }

 private:
  float* even_;
  float* odd_;
};

// Outputs k = 0 .. of both halves, where output k of either half reads input[k] (its samples at the
// offsets of each tap): both filters together while both halves have an output k, then the longer half
// alone. The high-pass taps read the same samples as the first seven low-pass taps.
void analysePairs(float* low, float* high, const SplitHalves& halves, const float* const* input) {
  const int both = std::min(halves.lowCount, halves.highCount);
  analysisPair(low, high, both, input);
  const float* rest[LO_FILTER_LEN];
  for (int t = 0; t < LO_FILTER_LEN; ++t) rest[t] = input[t] + both;
  if (halves.lowCount > both) sumOfProducts(low + both, halves.lowCount - both, rest, LO_FILTER, LO_FILTER_LEN);
  if (halves.highCount > both) sumOfProducts(high + both, halves.highCount - both, rest, HI_FILTER, HI_FILTER_LEN);
}

void analyseRow(const float* in, float* out, int len, bool inverted, RowSplit& split) {
  if (len <= 0) return;
  const SplitHalves halves = splitHalves(len, inverted);
  split.load(in, len);
  const float* runs[LO_FILTER_LEN];
  for (int t = 0; t < LO_FILTER_LEN; ++t) runs[t] = split.at(kLowOffsets[t]);
  analysePairs(out + halves.lowStart, out + halves.highStart, halves, runs);
}

// The columns of a node: each output row is a sum of whole input rows. `in` is the node's first
// column of its first row, `inStride` floats a row; `out` likewise; `columns` x `len` samples.
void analyseColumns(const float* in, size_t inStride, float* out, size_t outStride, int columns, int len,
                    bool inverted) {
  const SplitHalves halves = splitHalves(len, inverted);
  const float* rows[LO_FILTER_LEN];
  const int both = std::min(halves.lowCount, halves.highCount);
  for (int k = 0; k < std::max(halves.lowCount, halves.highCount); ++k) {
    for (int t = 0; t < LO_FILTER_LEN; ++t) rows[t] = in + mirrorWhole(2 * k + kLowOffsets[t], len) * inStride;
    float* low = out + (halves.lowStart + k) * outStride;
    float* high = out + (halves.highStart + k) * outStride;
    if (k < both) analysisPair(low, high, columns, rows);
    else if (k < halves.lowCount) sumOfProducts(low, columns, rows, LO_FILTER, LO_FILTER_LEN);
    else sumOfProducts(high, columns, rows, HI_FILTER, HI_FILTER_LEN);
  }
}

}  // namespace

void analyse_line(const float* in, int inStride, float* out, int outStride, int len, bool inverted) {
  if (len <= 0) return;
  std::vector<float> line(static_cast<size_t>(len)), result(static_cast<size_t>(len));
  std::vector<float> runs(2 * static_cast<size_t>(RowSplit::runLength(len)));
  RowSplit split(runs.data(), len);
  for (int i = 0; i < len; ++i) line[i] = in[i * inStride];
  analyseRow(line.data(), result.data(), len, inverted, split);
  for (int i = 0; i < len; ++i) out[i * outStride] = result[i];
}

// Columns are filtered in strips of this many, from the image into a strip and copied back, so the
// scratch holds one strip rather than a second image.
constexpr int kStrip = 128;

size_t decomposeScratchFloats(int width, int height) {
  // One strip, then the split of a row.
  return static_cast<size_t>(kStrip) * height + 2 * static_cast<size_t>(RowSplit::runLength(width));
}

void wsq_decompose(float* fdata, float* scratch, int width, int height, const WsqTrees& trees) {
  float* filtered = scratch;
  RowSplit split(filtered + static_cast<size_t>(kStrip) * height, width);
  for (const WaveletNode& node : trees.w_tree) {
    if (node.lenx <= 0 || node.leny <= 0) continue;
    // Rows of the node in place (a row is split into the run buffers before it is written), then its
    // columns strip by strip.
    for (int r = 0; r < node.leny; ++r) {
      float* row = fdata + static_cast<size_t>(node.y + r) * width + node.x;
      analyseRow(row, row, node.lenx, node.invrw, split);
    }
    for (int c0 = 0; c0 < node.lenx; c0 += kStrip) {
      const int columns = std::min(kStrip, node.lenx - c0);
      float* corner = fdata + static_cast<size_t>(node.y) * width + node.x + c0;
      analyseColumns(corner, static_cast<size_t>(width), filtered, kStrip, columns, node.leny, node.invcl);
      for (int r = 0; r < node.leny; ++r) {
        std::copy_n(filtered + static_cast<size_t>(r) * kStrip, columns, corner + static_cast<size_t>(r) * width);
      }
    }
  }
}

}  // namespace wsq
