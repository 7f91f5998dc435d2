// wsq_tree.cpp: geometry of the wavelet and quantisation trees.
#include "wsq_tree.h"

namespace wsq {
namespace {

// The shape of the decomposition: a leaf or a split into four children in Z order
// (top-left, top-right, bottom-left, bottom-right).
struct Shape {
  const Shape* kids[4];
};

constexpr Shape kLeaf{{nullptr, nullptr, nullptr, nullptr}};
constexpr Shape kOnce{{&kLeaf, &kLeaf, &kLeaf, &kLeaf}};
constexpr Shape kA1{{&kOnce, &kLeaf, &kLeaf, &kLeaf}};
constexpr Shape kA{{&kA1, &kOnce, &kOnce, &kOnce}};
constexpr Shape kFour{{&kOnce, &kOnce, &kOnce, &kOnce}};
constexpr Shape kTopLeft{{&kA, &kFour, &kFour, &kLeaf}};
// The bottom-right quadrant is never split; its four notional subbands 60..63 still get rectangles.
constexpr Shape kNotional{{&kLeaf, &kLeaf, &kLeaf, &kLeaf}};
constexpr Shape kRoot{{&kTopLeft, &kOnce, &kOnce, &kNotional}};

bool isLeaf(const Shape* s) { return s->kids[0] == nullptr; }

struct Builder {
  WsqTrees trees;
  int nodes = 0;
  int subbands = 0;
};

struct Region {
  int x, y, w, h;
  bool invrw, invcl;
};

void splitRegion(const Region& r, Region out[4]) {
  const int lw = firstPartLength(r.w, r.invrw);
  const int th = firstPartLength(r.h, r.invcl);
  out[0] = {r.x, r.y, lw, th, false, false};
  out[1] = {r.x + lw, r.y, r.w - lw, th, true, false};
  out[2] = {r.x, r.y + th, lw, r.h - th, false, true};
  out[3] = {r.x + lw, r.y + th, r.w - lw, r.h - th, true, true};
}

// Splits are numbered breadth-first by level (parents before children, as the decomposition needs);
// subbands depth-first in Z order.
void walkSubbands(Builder& b, const Shape* s, const Region& r) {
  if (isLeaf(s)) {
    b.trees.q_tree[b.subbands++] = {r.x, r.y, r.w, r.h};
    return;
  }
  Region kids[4];
  splitRegion(r, kids);
  for (int i = 0; i < 4; ++i) walkSubbands(b, s->kids[i], kids[i]);
}

}  // namespace

WsqTrees build_wsq_trees(int width, int height) {
  Builder b;
  // Breadth-first over real splits (the notional split of the bottom-right quadrant is not one).
  struct Pending {
    const Shape* shape;
    Region region;
  };
  Pending queue[32];
  int head = 0, tail = 0;
  queue[tail++] = {&kRoot, {0, 0, width, height, false, false}};
  while (head < tail) {
    const Pending p = queue[head++];
    if (p.shape == &kNotional) continue;
    b.trees.w_tree[b.nodes++] = {p.region.x, p.region.y, p.region.w, p.region.h, p.region.invrw,
                                 p.region.invcl};
    Region kids[4];
    splitRegion(p.region, kids);
    for (int i = 0; i < 4; ++i) {
      if (!isLeaf(p.shape->kids[i])) queue[tail++] = {p.shape->kids[i], kids[i]};
    }
  }
  walkSubbands(b, &kRoot, {0, 0, width, height, false, false});
  return b.trees;
}

}  // namespace wsq
