// wsq_synthesis.cpp: symmetric extension of the two halves and the synthesis filtering.
#include "wsq_synthesis.h"

#include <algorithm>
#include <cstddef>

#include "wsq_filter_kernel.h"
#include "wsq_simd.h"

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
  // Output n = 2k + p sums the low half at even positions m = n - t (t a tap position of g0), then the
  // high half at odd positions m = n - t (t of g1), each by increasing m: as offsets from k in its half.
  const int g0Last = g0First_ + static_cast<int>(g0_.size()) - 1;
  const int g1Last = g1First_ + static_cast<int>(g1_.size()) - 1;
  for (int p = 0; p < 2; ++p) {
    terms_[p].clear();
    for (int t = g0Last; t >= g0First_; --t) {
      if (((p - t) & 1) == 0) terms_[p].push_back({g0_[t - g0First_], false, (p - t) / 2});
    }
    for (int t = g1Last; t >= g1First_; --t) {
      if (((p - t - 1) & 1) == 0) terms_[p].push_back({g1_[t - g1First_], true, (p - t - 1) / 2});
    }
  }
  // The usual pair has the layout of synthesisPairs: even outputs low -1..1 then high -2..1, odd outputs
  // low -1..2 then high -2..2.
  auto layoutIs = [](const std::vector<Term>& terms, int lowFirst, int lowCount, int highFirst, int highCount) {
    if (static_cast<int>(terms.size()) != lowCount + highCount) return false;
    for (int j = 0; j < lowCount + highCount; ++j) {
      const bool high = j >= lowCount;
      const int offset = high ? highFirst + (j - lowCount) : lowFirst + j;
      if (terms[j].high != high || terms[j].offset != offset) return false;
    }
    return true;
  };
  // Each group of its taps reads the same from either end (the filters are built symmetric above).
  auto symmetric = [](const std::vector<Term>& terms, int first, int count) {
    for (int j = 0; j < count; ++j) {
      if (terms[first + j].tap != terms[first + count - 1 - j].tap) return false;
    }
    return true;
  };
  pairs_ = !even_ && layoutIs(terms_[0], -1, 3, -2, 4) && layoutIs(terms_[1], -1, 4, -2, 5) &&
           symmetric(terms_[0], 0, 3) && symmetric(terms_[0], 3, 4) && symmetric(terms_[1], 0, 4) &&
           symmetric(terms_[1], 4, 5);
  if (pairs_) {
    for (int j = 0; j < 2; ++j) pairTaps_.evenLow[j] = terms_[0][j].tap;
    for (int j = 0; j < 2; ++j) pairTaps_.evenHigh[j] = terms_[0][3 + j].tap;
    for (int j = 0; j < 2; ++j) pairTaps_.oddLow[j] = terms_[1][j].tap;
    for (int j = 0; j < 3; ++j) pairTaps_.oddHigh[j] = terms_[1][4 + j].tap;
  }
  lowReach_ = {0, 0};
  highReach_ = {0, 0};
  for (const std::vector<Term>& terms : terms_) {
    for (const Term& term : terms) {
      Reach& r = term.high ? highReach_ : lowReach_;
      r.before = std::max(r.before, -term.offset);
      r.after = std::max(r.after, term.offset);
    }
  }
  return true;
}

std::vector<float> SynthesisFilters::lowPass() const { return h0_; }
std::vector<float> SynthesisFilters::highPass() const { return h1_; }

// The low half sits on the even positions of the full grid, the high half on the odd ones; outside
// 0..len-1 each is extended as the analysis made it: odd-length filters mirror both about the end
// samples; even-length filters mirror the low half about -1 and len-1 and the high half, negated,
// about 0 and len. `i` is a position in the half (full position 2i or 2i + 1).
int SynthesisFilters::lowIndex(int i, int len) const {
  int m = 2 * i;
  while (m < 0 || m > len - 1) {
    if (m < 0) m = (even_ ? -2 : 0) - m;
    else m = 2 * (len - 1) - m;
  }
  return m / 2;
}

int SynthesisFilters::highIndex(int i, int len, float& sign) const {
  int m = 2 * i + 1;
  sign = 1.0f;
  while (m < 0 || m > len - 1) {
    int reflected;
    if (m < 0) reflected = -m;
    else reflected = even_ ? 2 * len - m : 2 * (len - 1) - m;
    if (reflected == m) return -1;  // the centre of an antisymmetric extension
    if (even_) sign = -sign;
    m = reflected;
  }
  return (m - 1) / 2;
}

SynthesisFilters::PairRange SynthesisFilters::innerPairs(int len) const {
  // Pair k reads the low half at k - 1 .. k + 2 and the high half at k - 2 .. k + 2; the low half has
  // (len + 1) / 2 samples, the high half len / 2.
  if (!pairs_) return {0, 0};
  const int end = len / 2 - 2;
  return end > 2 ? PairRange{2, end} : PairRange{0, 0};
}

size_t SynthesisFilters::workspaceFloats(int longest) const {
  const size_t half = static_cast<size_t>(longest + 1) / 2;
  // Both extended halves, then the even and the odd outputs.
  return 2 * half + lowReach_.before + lowReach_.after + highReach_.before + highReach_.after + 2 * half;
}

void SynthesisFilters::synthesiseRow(const float* in, float* out, int len, bool inverted, float* work) const {
  if (len <= 0) return;
  const SplitHalves halves = splitHalves(len, inverted);
  const int lowCount = halves.lowCount, highCount = halves.highCount;
  const float* low = in + halves.lowStart;
  const float* high = in + halves.highStart;
  if (len == 1) {
    out[0] = low[0] * lowOnlyGain_;
    return;
  }
  // Each half with its extension, so that every term reads a contiguous run.
  float* lowExt = work;
  float* highExt = lowExt + lowReach_.before + lowCount + lowReach_.after;
  float* evens = highExt + highReach_.before + lowCount + highReach_.after;
  float* odds = evens + lowCount;
  std::copy_n(low, lowCount, lowExt + lowReach_.before);
  for (int i = -lowReach_.before; i < lowCount + lowReach_.after; i = (i == -1 ? lowCount : i + 1)) {
    lowExt[i + lowReach_.before] = low[lowIndex(i, len)];
  }
  std::copy_n(high, highCount, highExt + highReach_.before);
  for (int i = -highReach_.before; i < lowCount + highReach_.after; i = (i == -1 ? highCount : i + 1)) {
    float sign;
    const int index = highIndex(i, len, sign);
    highExt[i + highReach_.before] = index < 0 ? 0.0f : sign * high[index];
  }
  if (pairs_) {
    // Both outputs of every pair at once, side by side; the last even output of an odd length alone.
    const float* lowRuns[4];
    const float* highRuns[5];
    for (int j = 0; j < 4; ++j) lowRuns[j] = lowExt + lowReach_.before - 1 + j;
    for (int j = 0; j < 5; ++j) highRuns[j] = highExt + highReach_.before - 2 + j;
    synthesisPairsInterleaved(out, highCount, lowRuns, highRuns, pairTaps_);
    if (lowCount > highCount) {
      for (int j = 0; j < 4; ++j) lowRuns[j] += highCount;
      for (int j = 0; j < 5; ++j) highRuns[j] += highCount;
      float last[2];
      synthesisPairsInterleaved(last, 1, lowRuns, highRuns, pairTaps_);
      out[len - 1] = last[0];
    }
    return;
  }
  float* outputs[2] = {evens, odds};
  const int counts[2] = {lowCount, highCount};
  const float* runs[kMaxTerms];
  float taps[kMaxTerms];
  for (int p = 0; p < 2; ++p) {
    const std::vector<Term>& terms = terms_[p];
    for (size_t t = 0; t < terms.size(); ++t) {
      runs[t] = terms[t].high ? highExt + highReach_.before + terms[t].offset
                              : lowExt + lowReach_.before + terms[t].offset;
      taps[t] = terms[t].tap;
    }
    sumOfProducts(outputs[p], counts[p], runs, taps, static_cast<int>(terms.size()));
  }
  int k = 0;
#if WSQ_HAVE_SSE2
  for (; k + 4 <= highCount; k += 4) {
    const __m128 e = _mm_loadu_ps(evens + k), o = _mm_loadu_ps(odds + k);
    _mm_storeu_ps(out + 2 * k, _mm_unpacklo_ps(e, o));
    _mm_storeu_ps(out + 2 * k + 4, _mm_unpackhi_ps(e, o));
  }
#endif
  for (; k < highCount; ++k) {
    out[2 * k] = evens[k];
    out[2 * k + 1] = odds[k];
  }
  if (lowCount > highCount) out[len - 1] = evens[lowCount - 1];
}

void SynthesisFilters::synthesiseColumns(const float* in, float* out, int width, const WaveletNode& node,
                                         const float* zeros) const {
  const int len = node.leny;
  const SplitHalves halves = splitHalves(len, node.invcl);
  auto row = [&](auto* image, int r) { return image + static_cast<size_t>(node.y + r) * width + node.x; };
  if (len == 1) {
    const float* low = row(in, 0);
    float* o = row(out, 0);
    for (int c = 0; c < node.lenx; ++c) o[c] = low[c] * lowOnlyGain_;
    return;
  }
  const float* rows[kMaxTerms];
  float taps[kMaxTerms];
  // Pairs of output rows inside both halves at once; the rows near either end one by one.
  const PairRange inner = innerPairs(len);
  for (int k = inner.first; k < inner.end; ++k) {
    const float* lowRows[4];
    const float* highRows[5];
    for (int j = 0; j < 4; ++j) lowRows[j] = row(in, halves.lowStart + k - 1 + j);
    for (int j = 0; j < 5; ++j) highRows[j] = row(in, halves.highStart + k - 2 + j);
    synthesisPairs(row(out, 2 * k), row(out, 2 * k + 1), node.lenx, lowRows, highRows, pairTaps_);
  }
  for (int n = 0; n < len; ++n) {
    if (n == 2 * inner.first && inner.end > inner.first) n = 2 * inner.end;
    const std::vector<Term>& terms = terms_[n & 1];
    const int k = n / 2;
    for (size_t t = 0; t < terms.size(); ++t) {
      const Term& term = terms[t];
      taps[t] = term.tap;
      if (!term.high) {
        rows[t] = row(in, halves.lowStart + lowIndex(k + term.offset, len));
        continue;
      }
      // A negated sample is the same product as the sample with its tap negated.
      float sign;
      const int index = highIndex(k + term.offset, len, sign);
      rows[t] = index < 0 ? zeros : row(in, halves.highStart + index);
      if (index >= 0) taps[t] = sign * term.tap;
    }
    sumOfProducts(row(out, n), node.lenx, rows, taps, static_cast<int>(terms.size()));
  }
}

void SynthesisFilters::synthesiseLine(const float* in, int inStride, float* out, int outStride, int len,
                                      bool inverted) const {
  if (len <= 0) return;
  std::vector<float> line(static_cast<size_t>(len)), result(static_cast<size_t>(len));
  std::vector<float> work(workspaceFloats(len));
  for (int i = 0; i < len; ++i) line[i] = in[i * inStride];
  synthesiseRow(line.data(), result.data(), len, inverted, work.data());
  for (int i = 0; i < len; ++i) out[i * outStride] = result[i];
}

void wsq_reconstruct(float* fdata, float* scratch, int width, int height, const WsqTrees& trees,
                     const SynthesisFilters& filters) {
  // One workspace: a row of zeros for the centres of antisymmetric extensions, then a row's halves.
  std::vector<float> work(static_cast<size_t>(width) + filters.workspaceFloats(std::max(width, height)));
  float* zeros = work.data();
  float* rowWork = zeros + width;
  for (int i = W_TREELEN - 1; i >= 0; --i) {
    const WaveletNode& node = trees.w_tree[i];
    if (node.lenx <= 0 || node.leny <= 0) continue;
    // Columns first (the analysis did them last), into the scratch image, then rows back.
    filters.synthesiseColumns(fdata, scratch, width, node, zeros);
    for (int r = 0; r < node.leny; ++r) {
      const size_t offset = static_cast<size_t>(node.y + r) * width + node.x;
      filters.synthesiseRow(scratch + offset, fdata + offset, node.lenx, node.invrw, rowWork);
    }
  }
}

}  // namespace wsq
