// wsq_test_stream.h: a whole WSQ stream for tests and benchmarks, our encoder's output for the
// synthetic finger of wsq_test_image.h.
#pragma once

#include <cstdint>
#include <vector>

#include "wsq_test_encode.h"
#include "wsq_test_image.h"

namespace wsq {
namespace testing {

inline std::vector<unsigned char> syntheticWsq(int width, int height, uint32_t seed = 1, float bitRate = 1.0f) {
  return encodeForTest(syntheticFinger(width, height, seed), width, height, bitRate);
}

}  // namespace testing
}  // namespace wsq
