// capture_a_check.cpp: independent checks of what velmar-capture-a delivered, with the project's WSQ
// decoder: "capture_a_check WSQ BMP" decodes the WSQ, reads the 8-bit BMP and prints both sizes and the
// PSNR between them; the exit status is 0 only when both are 512 x 512 and the PSNR is above 30 dB.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "wsq_decoder.h"

namespace {

std::vector<unsigned char> readAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Top-down grey pixels of an uncompressed 8-bit BMP whose palette is grey, or false.
bool readGreyBmp(const std::vector<unsigned char>& b, int* w, int* h, std::vector<unsigned char>* pixels) {
  if (b.size() < 1078 || b[0] != 'B' || b[1] != 'M') return false;
  const std::uint32_t offset = le32(&b[10]);
  const int width = static_cast<int>(le32(&b[18]));
  const int rawHeight = static_cast<int>(le32(&b[22]));
  const int bits = b[28] | b[29] << 8;
  if (bits != 8 || width <= 0 || rawHeight == 0) return false;
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~static_cast<std::size_t>(3);
  if (offset + stride * height > b.size()) return false;
  pixels->resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const int stored = rawHeight < 0 ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const unsigned char index = b[offset + stored * stride + x];
      (*pixels)[static_cast<std::size_t>(y) * width + x] = b[54 + index * 4];  // palette blue = grey
    }
  }
  *w = width;
  *h = height;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: capture_a_check WSQ BMP\n");
    return 2;
  }
  const std::vector<unsigned char> wsqBytes = readAll(argv[1]);
  const std::vector<unsigned char> bmpBytes = readAll(argv[2]);
  wsq::WsqImage decoded;
  std::string error;
  if (!wsq::decodeWsq(wsqBytes.data(), wsqBytes.size(), decoded, error)) {
    std::printf("WSQ does not decode: %s\n", error.c_str());
    return 1;
  }
  int w = 0, h = 0;
  std::vector<unsigned char> bmp;
  if (!readGreyBmp(bmpBytes, &w, &h, &bmp)) {
    std::printf("BMP is not an 8-bit grey BMP\n");
    return 1;
  }
  std::printf("wsq %d bytes %dx%d, bmp %d bytes %dx%d\n", static_cast<int>(wsqBytes.size()), decoded.width,
              decoded.height, static_cast<int>(bmpBytes.size()), w, h);
  if (decoded.width != 512 || decoded.height != 512 || w != 512 || h != 512) return 1;
  double sum = 0;
  long dark = 0;
  for (std::size_t i = 0; i < bmp.size(); ++i) {
    const double d = static_cast<double>(decoded.pixels[i]) - bmp[i];
    sum += d * d;
    if (bmp[i] < 128) ++dark;
  }
  const double mse = sum / static_cast<double>(bmp.size());
  const double psnr = mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
  std::printf("psnr %.2f dB, dark pixels %ld\n", psnr, dark);
  return psnr > 30.0 && dark > 0 ? 0 : 1;
}
