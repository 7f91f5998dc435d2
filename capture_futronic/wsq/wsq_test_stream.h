// wsq_test_stream.h: a whole WSQ stream for tests and benchmarks, our encoder's output for the
// synthetic finger of wsq_test_image.h.
#pragma once

#include <cstdint>
#include <vector>

#include "wsq_encoder_params.h"
#include "wsq_test_image.h"

namespace wsq {
namespace testing {

inline std::vector<unsigned char> syntheticWsq(int width, int height, uint32_t seed = 1, float bitRate = 1.0f) {
  wsqEncoderParams p;
  p.image = syntheticFinger(width, height, seed);
  p.width = width;
  p.height = height;
  p.depth = 8;
  p.ppi = 500;
  p.bitRate = bitRate;
  p.encode();
  return p.output;
}

}  // namespace testing
}  // namespace wsq
