// wsq_tree.h: the wavelet tree (20 splits) and the quantisation tree (64 subbands) for one image size.
// Pure functions; any thread.
#pragma once

#include "wsq_format.h"

namespace wsq {

// One two-dimensional split. The inverse flags say that the high-pass half of the row (column) split is
// stored first (left, top); the sampling phase is the same either way: the low-pass half always holds the
// ceil(n/2) even-position samples.
struct WaveletNode {
  int x = 0, y = 0;
  int lenx = 0, leny = 0;
  bool invrw = false;  // row split stores high-pass first
  bool invcl = false;  // column split stores high-pass first
};

struct QuantNode {
  int x = 0, y = 0;
  int lenx = 0, leny = 0;
};

struct WsqTrees {
  WaveletNode w_tree[W_TREELEN];
  QuantNode q_tree[Q_TREELEN];
};

// Builds both trees for an image of width x height (each at least 1). Nodes are in parent-first order,
// so running them forwards decomposes and backwards reconstructs.
WsqTrees build_wsq_trees(int width, int height);

// The two halves of a one-dimensional split of n samples: ceil(n/2) low-pass and floor(n/2) high-pass
// samples, and where each starts (the high-pass half first when inverted).
struct SplitHalves {
  int lowCount, highCount;
  int lowStart, highStart;
};
inline SplitHalves splitHalves(int n, bool inverted) {
  const int low = (n + 1) / 2, high = n / 2;
  return {low, high, inverted ? high : 0, inverted ? 0 : low};
}

// Width of the first (left or top) part of a split of n samples.
inline int firstPartLength(int n, bool inverted) { return inverted ? n / 2 : (n + 1) / 2; }

}  // namespace wsq
