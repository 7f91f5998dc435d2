// wsq_encoder_params.h: the encoder's input record and its encode operation, which throws on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wsq {

// Largest image encode() takes: its buffers are counted in int.
constexpr long long kMaxEncodedPixels = 0x7FFFFFFF / 4;

struct wsqEncoderParams {
  std::vector<unsigned char> image;  // grey image, row-major, one byte a pixel, at least width x height
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;    // 8; checked, not written into the stream
  int32_t ppi = 0;      // 500; checked, not written into the stream
  float bitRate = 2.0f;
  std::string comment;  // carried, not written into the stream
  std::vector<unsigned char> output;  // receives the WSQ stream

  // Encodes `image` into `output`. Throws std::runtime_error: "illegal argument: empty wsqEncoderParams"
  // for an empty image or a zero width, height, depth or ppi; "illegal argument: ..." for a size the
  // stream cannot carry or an image smaller than width x height; "unknown error: wsq encoder returned N"
  // when the encoder fails with status N (its own text is on standard error).
  void encode();
};

// The same for pixels held elsewhere: `size` bytes at `pixels`, the stream into `output`, the same checks
// and the same exceptions.
void encodeWsqPixels(const unsigned char* pixels, size_t size, int32_t width, int32_t height, int32_t depth,
                     int32_t ppi, float bitRate, std::vector<unsigned char>& output);

}  // namespace wsq
