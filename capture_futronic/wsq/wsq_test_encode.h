// wsq_test_encode.h: the encoder as the codec's tests call it: 8-bit, 500 ppi, the stream as bytes.
#pragma once

#include <vector>

#include "wsq_encoder_params.h"

namespace wsq {
namespace testing {

inline std::vector<unsigned char> encodeForTest(const std::vector<unsigned char>& image, int width, int height,
                                                float bitRate) {
  wsqEncoderParams p;
  p.image = image;
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
