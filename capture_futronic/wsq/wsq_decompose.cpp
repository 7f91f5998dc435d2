// wsq_decompose.cpp: forward transform of the encoder.
#include "wsq_decompose.h"

#include <cstddef>
#include <cstdio>

#include "wsq_memory.h"

namespace wsq {
namespace {

// Index of sample i of a whole-sample symmetric extension of n samples (mirror about the end samples
// without repeating them).
int mirrorWhole(int i, int n) {
  if (n == 1) return 0;
  const int period = 2 * (n - 1);
  i %= period;
  if (i < 0) i += period;
  return i < n ? i : period - i;
}

}  // namespace

void analyse_line(const float* in, int inStride, float* out, int outStride, int len, bool inverted) {
  if (len <= 0) return;
  const int lowCount = (len + 1) / 2;
  const int highCount = len / 2;
  const int lowStart = inverted ? highCount : 0;
  const int highStart = inverted ? 0 : lowCount;
  constexpr int loHalf = LO_FILTER_LEN / 2;
  constexpr int hiHalf = HI_FILTER_LEN / 2;
  for (int k = 0; k < lowCount; ++k) {
    float sum = 0.0f;
    const int centre = 2 * k;
    for (int j = -loHalf; j <= loHalf; ++j) {
      sum += LO_FILTER[j + loHalf] * in[mirrorWhole(centre - j, len) * inStride];
    }
    out[(lowStart + k) * outStride] = sum;
  }
  for (int k = 0; k < highCount; ++k) {
    float sum = 0.0f;
    const int centre = 2 * k + 1;
    for (int j = -hiHalf; j <= hiHalf; ++j) {
      sum += HI_FILTER[j + hiHalf] * in[mirrorWhole(centre - j, len) * inStride];
    }
    out[(highStart + k) * outStride] = sum;
  }
}

int wsq_decompose(float* fdata, int width, int height, const WsqTrees& trees) {
  float* fdata1 = static_cast<float*>(wsqAllocate(sizeof(float) * static_cast<size_t>(width) * height, -94));
  if (fdata1 == nullptr) {
    std::fprintf(stderr, "ERROR : wsq_decompose : malloc : fdata1\n");
    return -94;
  }
  for (const WaveletNode& node : trees.w_tree) {
    if (node.lenx <= 0 || node.leny <= 0) continue;
    // Rows of the node into the scratch image, then its columns back into the image.
    for (int r = 0; r < node.leny; ++r) {
      const size_t offset = static_cast<size_t>(node.y + r) * width + node.x;
      analyse_line(fdata + offset, 1, fdata1 + offset, 1, node.lenx, node.invrw);
    }
    for (int c = 0; c < node.lenx; ++c) {
      const size_t offset = static_cast<size_t>(node.y) * width + node.x + c;
      analyse_line(fdata1 + offset, width, fdata + offset, width, node.leny, node.invcl);
    }
  }
  wsqFree(fdata1);
  return 0;
}

}  // namespace wsq
