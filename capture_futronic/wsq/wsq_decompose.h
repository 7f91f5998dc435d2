// wsq_decompose.h: the forward wavelet decomposition of the encoder (9/7 analysis filters, whole-sample
// symmetric extension). Pure function; any thread.
#pragma once

#include <cstddef>

#include "wsq_tree.h"

namespace wsq {

// Floats of scratch wsq_decompose needs for an image of width x height.
size_t decomposeScratchFloats(int width, int height);

// Filters the image in place through the 20 splits of `trees`. `fdata` holds width x height floats, row
// by row; `scratch` holds decomposeScratchFloats(width, height) floats, not necessarily initialised.
void wsq_decompose(float* fdata, float* scratch, int width, int height, const WsqTrees& trees);

// One-dimensional analysis of `len` samples read with stride `inStride` from `in`, written with stride
// `outStride` to `out`: the ceil(len/2) low-pass outputs (even positions) and the floor(len/2) high-pass
// outputs (odd positions), high-pass part first when `inverted`. Exposed for tests.
void analyse_line(const float* in, int inStride, float* out, int outStride, int len, bool inverted);

}  // namespace wsq
