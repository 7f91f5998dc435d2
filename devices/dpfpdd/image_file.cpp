// image_file.cpp: PGM and BMP decoding for the virtual reader's finger images.
#include "image_file.h"

#include <cctype>
#include <cstdlib>

namespace dpfpdd_virtual {
namespace {

constexpr uint32_t kMaxSide = 4096;

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// Next PGM header number; skips blanks and '#' comments.
bool pgmNumber(const std::vector<uint8_t>& b, size_t& at, uint32_t& value) {
  while (at < b.size()) {
    if (b[at] == '#') {
      while (at < b.size() && b[at] != '\n') ++at;
    } else if (std::isspace(b[at])) {
      ++at;
    } else {
      break;
    }
  }
  if (at >= b.size() || !std::isdigit(b[at])) return false;
  uint64_t v = 0;
  while (at < b.size() && std::isdigit(b[at])) {
    v = v * 10 + (b[at++] - '0');
    if (v > 0xFFFFFFFFu) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

bool decodePgm(const std::vector<uint8_t>& b, GrayPixels& out, std::string& error) {
  size_t at = 2;
  uint32_t w = 0, h = 0, maxval = 0;
  if (!pgmNumber(b, at, w) || !pgmNumber(b, at, h) || !pgmNumber(b, at, maxval)) {
    error = "bad PGM header";
    return false;
  }
  if (maxval != 255) {
    error = "PGM maximum value must be 255";
    return false;
  }
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) {
    error = "PGM size out of range";
    return false;
  }
  ++at;  // the single blank after the maximum value
  const size_t bytes = static_cast<size_t>(w) * h;
  if (at > b.size() || b.size() - at < bytes) {
    error = "PGM pixel data truncated";
    return false;
  }
  out.width = w;
  out.height = h;
  out.pixels.assign(b.begin() + at, b.begin() + at + bytes);
  return true;
}

bool decodeBmp(const std::vector<uint8_t>& b, GrayPixels& out, std::string& error) {
  if (b.size() < 54) {
    error = "BMP header truncated";
    return false;
  }
  const uint32_t offset = le32(b, 10);
  const uint32_t infoSize = le32(b, 14);
  const int32_t w = static_cast<int32_t>(le32(b, 18));
  const int32_t hRaw = static_cast<int32_t>(le32(b, 22));
  const uint16_t bpp = le16(b, 28);
  const uint32_t compression = le32(b, 30);
  if (infoSize < 40 || compression != 0 || (bpp != 8 && bpp != 24 && bpp != 32)) {
    error = "only uncompressed BMP of 8, 24 or 32 bits per pixel";
    return false;
  }
  const bool bottomUp = hRaw > 0;
  const int64_t h = bottomUp ? hRaw : -static_cast<int64_t>(hRaw);
  if (w <= 0 || h <= 0 || w > static_cast<int32_t>(kMaxSide) || h > kMaxSide) {
    error = "BMP size out of range";
    return false;
  }
  const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  if (offset > b.size() || b.size() - offset < stride * static_cast<size_t>(h)) {
    error = "BMP pixel data truncated";
    return false;
  }
  uint8_t palette[256] = {};
  if (bpp == 8) {
    const size_t paletteAt = 14 + infoSize;
    uint32_t colours = le32(b, 46);
    if (colours == 0 || colours > 256) colours = 256;
    for (uint32_t i = 0; i < 256; ++i) palette[i] = static_cast<uint8_t>(i);
    for (uint32_t i = 0; i < colours && paletteAt + 4 * i + 3 <= offset; ++i) {
      const size_t e = paletteAt + 4 * i;  // blue, green, red, reserved
      palette[i] = static_cast<uint8_t>((b[e] * 29 + b[e + 1] * 150 + b[e + 2] * 77) >> 8);
    }
  }
  out.width = static_cast<uint32_t>(w);
  out.height = static_cast<uint32_t>(h);
  out.pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int64_t row = 0; row < h; ++row) {
    const size_t src = offset + stride * static_cast<size_t>(bottomUp ? h - 1 - row : row);
    uint8_t* dst = &out.pixels[static_cast<size_t>(row) * w];
    for (int32_t x = 0; x < w; ++x) {
      if (bpp == 8) {
        dst[x] = palette[b[src + x]];
      } else {
        const size_t p = src + static_cast<size_t>(x) * (bpp / 8);
        dst[x] = static_cast<uint8_t>((b[p] * 29 + b[p + 1] * 150 + b[p + 2] * 77) >> 8);
      }
    }
  }
  return true;
}

}  // namespace

bool decodeGrayImage(const std::vector<uint8_t>& file, GrayPixels& out, std::string& error) {
  if (file.size() >= 2 && file[0] == 'P' && file[1] == '5') return decodePgm(file, out, error);
  if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return decodeBmp(file, out, error);
  error = "not a binary PGM or a BMP file";
  return false;
}

}  // namespace dpfpdd_virtual
