// wsq_quantize.h: subband variances, the bit-allocation of the quantiser, the quantisation of the
// decomposed image and the sizes of the three coded blocks. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "wsq_tree.h"

namespace wsq {

// The quantiser record: bit rate, and per subband the bin width, the zero-bin width and the variance.
// Entries 60..63 stay 0.
struct QuantParams {
  float r = 0.0f;
  float qbss[Q_TREELEN] = {};  // bin width Q
  float qzbs[Q_TREELEN] = {};  // zero-bin width Z
  float var[Q_TREELEN] = {};   // subband variance
};

// Variances of subbands 0..59 of the decomposed image, over the central part of each subband, or over
// the whole subbands when the four lowest subbands' central variances add up to less than 20000.
void variance(QuantParams& params, const float* fip, int width, const WsqTrees& trees);

// Sets Q and Z from the variances and the bit rate and quantises every subband with Q != 0 into `sip`
// (room for width x height values), subband after subband, row by row. When a value would not fit in 16
// bits (a tiny or thin image, or a bit rate far above what the coder is meant for), every bin is widened
// by one factor so that all fit. Returns 0, or -93 when they still do not (a non-finite bit rate).
int quantize(int16_t* sip, int* cmp_siz, QuantParams& params, const WsqTrees& trees, const float* fip,
             int width, int height);

// Number of coefficients in each of the three blocks: the areas of their subbands with Q != 0.
void quant_block_sizes(int* qsize1, int* qsize2, int* qsize3, const QuantParams& params,
                       const WsqTrees& trees);

}  // namespace wsq
