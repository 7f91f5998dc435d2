// wsq_synthesis.h: the decoder's inverse wavelet transform for any symmetric filter pair, odd-length
// (whole-sample symmetric extension) or even-length (half-sample symmetric extension). Pure; any thread.
#pragma once

#include <cstddef>
#include <vector>

#include "wsq_filter_kernel.h"
#include "wsq_tree.h"

namespace wsq {

// A synthesis filter pair built from the analysis filters as the transform table sends them.
class SynthesisFilters {
 public:
  // `lowHalf` and `highHalf` are the sent taps (centre outwards), `lowLength` and `highLength` the
  // full lengths; both lengths odd or both even. Returns false for a pair that cannot be used.
  bool build(const std::vector<float>& lowHalf, int lowLength, const std::vector<float>& highHalf,
             int highLength);

  // All taps of the analysis filters, for showing them.
  std::vector<float> lowPass() const;
  std::vector<float> highPass() const;

  // Rebuilds `len` samples (stride `outStride` in `out`) from the low and high halves stored at
  // stride `inStride` in `in`, high half first when `inverted`.
  void synthesiseLine(const float* in, int inStride, float* out, int outStride, int len, bool inverted) const;

  // The same for a contiguous row; `work` holds workspaceFloats(len) floats.
  void synthesiseRow(const float* in, float* out, int len, bool inverted, float* work) const;
  size_t workspaceFloats(int longest) const;

  // The columns of `node` from `in` into `out` (both images of `width` floats a row), each output row a
  // sum of whole input rows; `zeros` holds node.lenx zeros.
  void synthesiseColumns(const float* in, float* out, int width, const WaveletNode& node,
                         const float* zeros) const;

 private:
  // One product of an output's sum: the tap and the sample of the low or high half at k + offset.
  struct Term {
    float tap;
    bool high;
    int offset;
  };
  struct Reach {
    int before, after;  // half samples an extension needs before the first and after the last
  };
  static constexpr size_t kMaxTerms = 256;

  int lowIndex(int i, int len) const;
  int highIndex(int i, int len, float& sign) const;
  // Pairs k whose terms all lie inside both halves: [first, end), empty when the line is too short or the
  // filters are not the nine- and seven-tap pair.
  struct PairRange {
    int first, end;
  };
  PairRange innerPairs(int len) const;

  bool even_ = false;
  // Analysis filters, index = tap position - first position.
  std::vector<float> h0_, h1_;
  int h0First_ = 0, h1First_ = 0;
  // Synthesis filters g0(n) = (-1)^n h1(n) on the low half, g1(n) = (-1)^n h0(n) on the high half.
  std::vector<float> g0_, g1_;
  int g0First_ = 0, g1First_ = 0;
  float lowOnlyGain_ = 0.0f;  // sum of g0 over even positions: a single sample's reconstruction
  std::vector<Term> terms_[2];  // of the even and the odd outputs, in the order they are summed
  Reach lowReach_{0, 0}, highReach_{0, 0};
  bool pairs_ = false;  // the terms have the layout synthesisPairs computes, with these taps
  SynthesisPairTaps pairTaps_{};
};

// Undoes the 20 splits of `trees` on the width x height coefficient image `fdata` in place.
// `scratch` holds width x height floats.
void wsq_reconstruct(float* fdata, float* scratch, int width, int height, const WsqTrees& trees,
                     const SynthesisFilters& filters);

}  // namespace wsq
