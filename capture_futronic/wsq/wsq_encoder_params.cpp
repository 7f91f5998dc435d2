// wsq_encoder_params.cpp: argument checks around the encoder core.
#include "wsq_encoder_params.h"

#include <stdexcept>

#include "wsq_encoder.h"
#include "wsq_memory.h"

namespace wsq {

void encodeWsqPixels(const unsigned char* pixels, size_t size, int32_t width, int32_t height, int32_t depth,
                     int32_t ppi, float bitRate, std::vector<unsigned char>& output) {
  if (size == 0 || width == 0 || height == 0 || depth == 0 || ppi == 0) {
    throw std::runtime_error("illegal argument: empty wsqEncoderParams");
  }
  // The frame header holds each side in 16 bits.
  if (width < 0 || height < 0 || width > 65535 || height > 65535) {
    throw std::runtime_error("illegal argument: width and height must be 1 to 65535, got " +
                             std::to_string(width) + " x " + std::to_string(height));
  }
  const long long count = static_cast<long long>(width) * height;
  if (count > kMaxEncodedPixels) {
    throw std::runtime_error("illegal argument: image of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels is too large");
  }
  if (static_cast<long long>(size) < count) {
    throw std::runtime_error("illegal argument: image of " + std::to_string(width) + " x " +
                             std::to_string(height) + " needs " + std::to_string(count) + " bytes, got " +
                             std::to_string(size));
  }
  unsigned char* stream = nullptr;
  int length = 0;
  const int status = wsq_encode_1(&stream, &length, pixels, width, height, bitRate);
  if (status != 0) {
    throw std::runtime_error("unknown error: wsq encoder returned " + std::to_string(status));
  }
  output.assign(stream, stream + length);
  wsqFree(stream);
}

void wsqEncoderParams::encode() { encodeWsqPixels(image.data(), image.size(), width, height, depth, ppi, bitRate, output); }

}  // namespace wsq
