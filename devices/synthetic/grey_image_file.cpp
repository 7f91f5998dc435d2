// grey_image_file.cpp: PGM and BMP reading and writing of 8-bit grey pictures.
#include "grey_image_file.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace velmar::synthetic {
namespace {

std::string sizeText(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

bool sizeInRange(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxGreyImageSide && height <= kMaxGreyImageSide &&
         width * height <= kMaxGreyImagePixels;
}

// Grey of a colour by its luminance (0.299 R + 0.587 G + 0.114 B), rounded; grey stays as it is.
uint8_t luminance(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// The blanks of a PGM header (the C locale's isspace, without depending on the locale).
bool isBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// The next number of a PGM header. It must be separated from what comes before by blanks or by
// '#' comments (which run to the end of their line). Values above 32 bits saturate, so an absurd
// number is refused as a size rather than read as a few of its digits.
bool pgmNumber(const std::vector<uint8_t>& b, size_t& at, uint32_t& value) {
  const size_t start = at;
  while (at < b.size()) {
    if (b[at] == '#') {
      while (at < b.size() && b[at] != '\n') ++at;
    } else if (isBlank(b[at])) {
      ++at;
    } else {
      break;
    }
  }
  if (at == start || at >= b.size() || !isDigit(b[at])) return false;
  uint64_t v = 0;
  while (at < b.size() && isDigit(b[at])) v = std::min<uint64_t>(v * 10 + (b[at++] - '0'), 0xFFFFFFFFu);
  value = static_cast<uint32_t>(v);
  return true;
}

bool decodePgm(const std::vector<uint8_t>& b, GreyImage& out, std::string& why) {
  size_t at = 2;  // after "P5"
  uint32_t width = 0, height = 0, maxval = 0;
  if (!pgmNumber(b, at, width) || !pgmNumber(b, at, height) || !pgmNumber(b, at, maxval)) {
    why = "PGM header incomplete";
    return false;
  }
  if (!sizeInRange(width, height)) {
    why = "PGM size out of range: " + sizeText(width, height);
    return false;
  }
  if (maxval < 1 || maxval > 255) {
    why = "PGM maximum value must be 1..255, not " + std::to_string(maxval);
    return false;
  }
  // Exactly one blank ends the header; the pixels follow it.
  if (at >= b.size() || !isBlank(b[at])) {
    why = "PGM header not followed by a blank";
    return false;
  }
  ++at;
  const size_t count = static_cast<size_t>(width) * height;
  if (b.size() - at < count) {
    why = "PGM pixel data truncated: " + std::to_string(b.size() - at) + " of " + std::to_string(count) +
          " bytes";
    return false;
  }
  GreyImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
                      b.begin() + static_cast<std::ptrdiff_t>(at + count));
  if (maxval != 255) {
    for (uint8_t& p : image.pixels) {
      if (p > maxval) {
        why = "PGM pixel above the maximum value " + std::to_string(maxval);
        return false;
      }
      p = static_cast<uint8_t>(p * 255u / maxval);
    }
  }
  out = std::move(image);
  return true;
}

bool decodeBmp(const std::vector<uint8_t>& b, GreyImage& out, std::string& why) {
  constexpr uint64_t kFileHeader = 14;
  if (b.size() < kFileHeader + 40) {
    why = "BMP headers truncated";
    return false;
  }
  const uint32_t offset = le32(b, 10);
  const uint32_t infoSize = le32(b, 14);
  const int32_t width = static_cast<int32_t>(le32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(le32(b, 22));
  const uint16_t bits = le16(b, 28);
  const uint32_t compression = le32(b, 30);
  if (infoSize < 40) {
    why = "BMP info header of " + std::to_string(infoSize) + " bytes, 40 or more needed";
    return false;
  }
  const uint64_t headersEnd = kFileHeader + infoSize;
  if (headersEnd > b.size()) {
    why = "BMP headers truncated";
    return false;
  }
  if (compression != 0) {
    why = "BMP must be uncompressed, not of compression " + std::to_string(compression);
    return false;
  }
  if (bits != 8 && bits != 24 && bits != 32) {
    why = "BMP must have 8, 24 or 32 bits a pixel, not " + std::to_string(bits);
    return false;
  }
  // A negative height means the rows are stored top row first.
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(rawHeight) : rawHeight;
  if (!sizeInRange(width, height)) {
    why = "BMP size out of range: " + sizeText(width, height);
    return false;
  }
  if (offset < headersEnd) {
    why = "BMP pixel data overlaps its headers";
    return false;
  }
  const size_t bytesPerPixel = bits / 8u;
  const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~static_cast<size_t>(3);
  const size_t needed = stride * static_cast<size_t>(height);
  if (offset > b.size() || b.size() - offset < needed) {
    why = "BMP pixel data truncated: " + std::to_string(offset > b.size() ? 0 : b.size() - offset) + " of " +
          std::to_string(needed) + " bytes";
    return false;
  }

  // The palette lies between the headers and the pixel data: as many entries as the header declares
  // (all 256 when it says 0) and as fit there. Indices without an entry stay their own grey.
  uint8_t palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint8_t>(i);
  if (bits == 8) {
    uint32_t declared = le32(b, 46);
    if (declared == 0 || declared > 256) declared = 256;
    const uint64_t room = (offset - headersEnd) / 4;
    const uint32_t colours = static_cast<uint32_t>(std::min<uint64_t>(declared, room));
    for (uint32_t i = 0; i < colours; ++i) {
      const size_t e = static_cast<size_t>(headersEnd) + 4 * static_cast<size_t>(i);  // blue, green, red, 0
      palette[i] = luminance(b[e + 2], b[e + 1], b[e]);
    }
  }

  GreyImage image;
  image.width = width;
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int64_t y = 0; y < height; ++y) {
    const int64_t stored = topDown ? y : height - 1 - y;
    const uint8_t* row = b.data() + offset + static_cast<size_t>(stored) * stride;
    uint8_t* dst = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + static_cast<size_t>(x) * bytesPerPixel;
      dst[x] = bits == 8 ? palette[p[0]] : luminance(p[2], p[1], p[0]);
    }
  }
  out = std::move(image);
  return true;
}

void checkPixels(const std::vector<uint8_t>& pixels, int width, int height) {
  if (width < 1 || height < 1 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    throw std::invalid_argument("pixel count does not match the size");
}

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  put16(out, at, v & 0xFFFF);
  put16(out, at + 2, v >> 16);
}

}  // namespace

bool decodeGreyImage(const std::vector<uint8_t>& bytes, GreyImage& out, std::string& why) {
  if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '5') return decodePgm(bytes, out, why);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return decodeBmp(bytes, out, why);
  why = "neither a binary PGM (P5) nor a BMP file";
  return false;
}

std::vector<uint8_t> encodePgm(const std::vector<uint8_t>& pixels, int width, int height) {
  checkPixels(pixels, width, height);
  const std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& pixels, int width, int height) {
  checkPixels(pixels, width, height);
  const size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
  const size_t offset = 14 + 40 + 256 * 4;
  std::vector<uint8_t> out(offset + stride * static_cast<size_t>(height), 0);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<uint32_t>(out.size()));
  put32(out, 10, static_cast<uint32_t>(offset));
  put32(out, 14, 40);
  put32(out, 18, static_cast<uint32_t>(width));
  put32(out, 22, static_cast<uint32_t>(height));
  put16(out, 26, 1);
  put16(out, 28, 8);
  put32(out, 34, static_cast<uint32_t>(stride * static_cast<size_t>(height)));
  put32(out, 38, 2835);  // 72 dpi in pixels a metre
  put32(out, 42, 2835);
  for (uint32_t i = 0; i < 256; ++i) put32(out, 54 + 4 * i, i | (i << 8) | (i << 16));
  for (int row = 0; row < height; ++row) {
    const uint8_t* src = pixels.data() + static_cast<size_t>(height - 1 - row) * static_cast<size_t>(width);
    const size_t at = offset + static_cast<size_t>(row) * stride;
    std::copy(src, src + width, out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return out;
}

}  // namespace velmar::synthetic
