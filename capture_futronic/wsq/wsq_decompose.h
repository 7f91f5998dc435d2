// wsq_decompose.h: the forward wavelet decomposition of the encoder (9/7 analysis filters, whole-sample
// symmetric extension). Pure function; any thread.
#pragma once

#include "wsq_tree.h"

namespace wsq {

// Filters the image in place through the 20 splits of `trees`. `fdata` holds width x height floats, row
// by row. Returns 0, or -94 (text on standard error) when the scratch image cannot be allocated.
int wsq_decompose(float* fdata, int width, int height, const WsqTrees& trees);

// One-dimensional analysis of `len` samples read with stride `inStride` from `in`, written with stride
// `outStride` to `out`: the ceil(len/2) low-pass outputs (even positions) and the floor(len/2) high-pass
// outputs (odd positions), high-pass part first when `inverted`. Exposed for tests.
void analyse_line(const float* in, int inStride, float* out, int outStride, int len, bool inverted);

}  // namespace wsq
