// grey_image_file.cpp: PGM and BMP decoding for the virtual scanner's picture files.
#include "grey_image_file.h"

#include <cctype>
#include <cstring>

namespace velmar::futronic {
namespace {

constexpr std::int64_t kMaxPixels = 4096LL * 4096LL;

std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint8_t luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

// Next whitespace-separated decimal of a PGM header, skipping '#' comments.
bool pgmNumber(const std::vector<std::uint8_t>& b, std::size_t* pos, long* out) {
  std::size_t i = *pos;
  while (i < b.size()) {
    if (b[i] == '#') {
      while (i < b.size() && b[i] != '\n') ++i;
    } else if (std::isspace(b[i])) {
      ++i;
    } else {
      break;
    }
  }
  long v = 0;
  std::size_t digits = 0;
  while (i < b.size() && std::isdigit(b[i]) && digits < 9) {
    v = v * 10 + (b[i] - '0');
    ++i;
    ++digits;
  }
  if (digits == 0) return false;
  *pos = i;
  *out = v;
  return true;
}

bool decodePgm(const std::vector<std::uint8_t>& b, GreyPicture* out, std::string* why) {
  std::size_t pos = 2;
  long w = 0, h = 0, maxval = 0;
  if (!pgmNumber(b, &pos, &w) || !pgmNumber(b, &pos, &h) || !pgmNumber(b, &pos, &maxval)) {
    *why = "PGM header incomplete";
    return false;
  }
  if (w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > kMaxPixels) {
    *why = "PGM size out of range";
    return false;
  }
  if (maxval <= 0 || maxval > 255) {
    *why = "PGM maxval must be 1..255";
    return false;
  }
  if (pos >= b.size() || !std::isspace(b[pos])) {
    *why = "PGM header not followed by whitespace";
    return false;
  }
  ++pos;
  const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (b.size() - pos < n) {
    *why = "PGM pixel data truncated";
    return false;
  }
  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->pixels.resize(n);
  for (std::size_t i = 0; i < n; ++i)
    out->pixels[i] = static_cast<std::uint8_t>(b[pos + i] * 255 / maxval);
  return true;
}

bool decodeBmp(const std::vector<std::uint8_t>& b, GreyPicture* out, std::string* why) {
  if (b.size() < 54) {
    *why = "BMP headers truncated";
    return false;
  }
  const std::uint32_t offset = le32(&b[10]);
  const std::uint32_t infoSize = le32(&b[14]);
  const std::int32_t w = static_cast<std::int32_t>(le32(&b[18]));
  const std::int32_t hRaw = static_cast<std::int32_t>(le32(&b[22]));
  const std::uint16_t bits = le16(&b[28]);
  const std::uint32_t compression = le32(&b[30]);
  std::uint32_t colours = le32(&b[46]);
  if (infoSize < 40 || compression != 0) {
    *why = "BMP must be uncompressed with a 40-byte or larger header";
    return false;
  }
  if (bits != 8 && bits != 24 && bits != 32) {
    *why = "BMP must have 8, 24 or 32 bits a pixel";
    return false;
  }
  const bool topDown = hRaw < 0;
  const std::int64_t h = topDown ? -static_cast<std::int64_t>(hRaw) : hRaw;
  if (w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > kMaxPixels) {
    *why = "BMP size out of range";
    return false;
  }
  std::uint8_t palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = static_cast<std::uint8_t>(i);
  if (bits == 8) {
    if (colours == 0 || colours > 256) colours = 256;
    const std::size_t palStart = 14 + static_cast<std::size_t>(infoSize);
    if (palStart + colours * 4 > b.size()) {
      *why = "BMP palette truncated";
      return false;
    }
    for (std::uint32_t i = 0; i < colours; ++i) {
      const std::uint8_t* e = &b[palStart + i * 4];
      palette[i] = luminance(e[2], e[1], e[0]);
    }
  }
  const std::size_t bytesPerPixel = bits / 8;
  const std::size_t stride = (static_cast<std::size_t>(w) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
  if (offset > b.size() || (b.size() - offset) / stride < static_cast<std::size_t>(h)) {
    *why = "BMP pixel data truncated";
    return false;
  }
  out->width = w;
  out->height = static_cast<int>(h);
  out->pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (std::int64_t y = 0; y < h; ++y) {
    const std::int64_t stored = topDown ? y : h - 1 - y;
    const std::uint8_t* row = &b[offset + static_cast<std::size_t>(stored) * stride];
    std::uint8_t* dst = &out->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)];
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * bytesPerPixel;
      dst[x] = bits == 8 ? palette[p[0]] : luminance(p[2], p[1], p[0]);
    }
  }
  return true;
}

}  // namespace

bool decodeGreyPicture(const std::vector<std::uint8_t>& bytes, GreyPicture* out, std::string* why) {
  std::string ignored;
  if (!why) why = &ignored;
  if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '5') return decodePgm(bytes, out, why);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return decodeBmp(bytes, out, why);
  *why = "neither a binary PGM (P5) nor a BMP file";
  return false;
}

std::vector<std::uint8_t> fitToFrame(const GreyPicture& picture, int width, int height) {
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
  // Offsets of the picture in the frame (negative: the picture is cropped on that side).
  const int dx = (width - picture.width) / 2;
  const int dy = (height - picture.height) / 2;
  for (int y = 0; y < height; ++y) {
    const int sy = y - dy;
    if (sy < 0 || sy >= picture.height) continue;
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx;
      if (sx < 0 || sx >= picture.width) continue;
      frame[static_cast<std::size_t>(y) * width + x] =
          picture.pixels[static_cast<std::size_t>(sy) * picture.width + sx];
    }
  }
  return frame;
}

}  // namespace velmar::futronic
