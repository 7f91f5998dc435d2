// wsq_synthesis.cpp: symmetric extension of the two halves and the synthesis filtering.
#include "wsq_synthesis.h"

#include <cstddef>

namespace wsq {

bool SynthesisFilters::build(const std::vector<float>& lowHalf, int lowLength,
                             const std::vector<float>& highHalf, int highLength) {
  if (lowLength < 1 || highLength < 1) return false;
  if ((lowLength & 1) != (highLength & 1)) return false;
  even_ = (lowLength & 1) == 0;
  if (static_cast<int>(lowHalf.size()) != (lowLength + 1) / 2) return false;
  if (static_cast<int>(highHalf.size()) != (highLength + 1) / 2) return false;
  h0_.assign(lowLength, 0.0f);
  h1_.assign(highLength, 0.0f);
  if (!even_) {
    // Symmetric about 0: h(-j) = h(j), sent from h(0) outwards.
    h0First_ = -(lowLength / 2);
    h1First_ = -(highLength / 2);
    for (int j = 0; j <= lowLength / 2; ++j) {
      h0_[j - h0First_] = lowHalf[j];
      h0_[-j - h0First_] = lowHalf[j];
    }
    for (int j = 0; j <= highLength / 2; ++j) {
      h1_[j - h1First_] = highHalf[j];
      h1_[-j - h1First_] = highHalf[j];
    }
  } else {
    // Low-pass symmetric about -1/2 (h0(-1-j) = h0(j)), sent as h0(0), h0(1), ...; high-pass
    // antisymmetric about +1/2 (h1(1-j) = -h1(j)), sent as h1(1), h1(2), ...
    h0First_ = -(lowLength / 2);
    h1First_ = -(highLength / 2) + 1;
    for (int j = 0; j < lowLength / 2; ++j) {
      h0_[j - h0First_] = lowHalf[j];
      h0_[-1 - j - h0First_] = lowHalf[j];
    }
    for (int j = 1; j <= highLength / 2; ++j) {
      h1_[j - h1First_] = highHalf[j - 1];
      h1_[1 - j - h1First_] = -highHalf[j - 1];
    }
  }
  auto modulate = [](const std::vector<float>& h, int first, std::vector<float>& g) {
    g.resize(h.size());
    for (size_t i = 0; i < h.size(); ++i) {
      const int n = first + static_cast<int>(i);
      g[i] = (n % 2 == 0) ? h[i] : -h[i];
    }
  };
  modulate(h1_, h1First_, g0_);
  g0First_ = h1First_;
  modulate(h0_, h0First_, g1_);
  g1First_ = h0First_;
  lowOnlyGain_ = 0.0f;
  for (size_t i = 0; i < g0_.size(); ++i) {
    if ((g0First_ + static_cast<int>(i)) % 2 == 0) lowOnlyGain_ += g0_[i];
  }
  return true;
}

std::vector<float> SynthesisFilters::lowPass() const { return h0_; }
std::vector<float> SynthesisFilters::highPass() const { return h1_; }

// The low half sits on the even positions of the full grid, the high half on the odd ones; outside
// 0..len-1 each is extended as the analysis made it: odd-length filters mirror both about the end
// samples; even-length filters mirror the low half about -1 and len-1 and the high half, negated,
// about 0 and len.
float SynthesisFilters::lowSample(const float* low, int inStride, int m, int len) const {
  if (m & 1) return 0.0f;
  while (m < 0 || m > len - 1) {
    if (m < 0) m = (even_ ? -2 : 0) - m;
    else m = 2 * (len - 1) - m;
  }
  return low[(m / 2) * inStride];
}

float SynthesisFilters::highSample(const float* high, int inStride, int m, int len) const {
  if ((m & 1) == 0) return 0.0f;
  float sign = 1.0f;
  while (m < 0 || m > len - 1) {
    int reflected;
    if (m < 0) reflected = -m;
    else reflected = even_ ? 2 * len - m : 2 * (len - 1) - m;
    if (reflected == m) return 0.0f;  // the centre of an antisymmetric extension
    if (even_) sign = -sign;
    m = reflected;
  }
  return sign * high[((m - 1) / 2) * inStride];
}

void SynthesisFilters::synthesiseLine(const float* in, int inStride, float* out, int outStride, int len,
                                      bool inverted) const {
  if (len <= 0) return;
  const int lowCount = (len + 1) / 2;
  const int highCount = len / 2;
  const float* low = in + (inverted ? highCount : 0) * inStride;
  const float* high = in + (inverted ? 0 : lowCount) * inStride;
  if (len == 1) {
    out[0] = low[0] * lowOnlyGain_;
    return;
  }
  const int g0Last = g0First_ + static_cast<int>(g0_.size()) - 1;
  const int g1Last = g1First_ + static_cast<int>(g1_.size()) - 1;
  for (int n = 0; n < len; ++n) {
    // One running sum: low-half terms, then high-half terms, each by increasing position.
    float sum = 0.0f;
    for (int m = n - g0Last; m <= n - g0First_; ++m) {
      if (m & 1) continue;
      sum += lowSample(low, inStride, m, len) * g0_[n - m - g0First_];
    }
    for (int m = n - g1Last; m <= n - g1First_; ++m) {
      if ((m & 1) == 0) continue;
      sum += highSample(high, inStride, m, len) * g1_[n - m - g1First_];
    }
    out[n * outStride] = sum;
  }
}

void wsq_reconstruct(float* fdata, float* scratch, int width, int /*height*/, const WsqTrees& trees,
                     const SynthesisFilters& filters) {
  for (int i = W_TREELEN - 1; i >= 0; --i) {
    const WaveletNode& node = trees.w_tree[i];
    if (node.lenx <= 0 || node.leny <= 0) continue;
    // Columns first (the analysis did them last), into the scratch image, then rows back.
    for (int c = 0; c < node.lenx; ++c) {
      const size_t offset = static_cast<size_t>(node.y) * width + node.x + c;
      filters.synthesiseLine(fdata + offset, width, scratch + offset, width, node.leny, node.invcl);
    }
    for (int r = 0; r < node.leny; ++r) {
      const size_t offset = static_cast<size_t>(node.y + r) * width + node.x;
      filters.synthesiseLine(scratch + offset, 1, fdata + offset, 1, node.lenx, node.invrw);
    }
  }
}

}  // namespace wsq
