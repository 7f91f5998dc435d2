#include "logo_bitmap.h"

#include <cstring>

namespace one {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::int32_t kMaxSide = 8192;
constexpr std::uint32_t kNoCompression = 0;  // BI_RGB

std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool drawableBitCount(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool readLogoBitmap(const std::vector<std::uint8_t>& bytes, LogoBitmap& out) {
  // Everything the headers claim is checked against the bytes before a row is read.
  if (bytes.size() < kFileHeaderBytes + kInfoHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint8_t* info = &bytes[kFileHeaderBytes];
  const std::uint32_t offset = le32(&bytes[10]);
  const std::uint32_t infoSize = le32(info);
  const auto width = static_cast<std::int32_t>(le32(info + 4));
  const auto height = static_cast<std::int32_t>(le32(info + 8));
  const std::uint16_t bitCount = le16(info + 14);
  const std::uint32_t compression = le32(info + 16);
  if (infoSize < kInfoHeaderBytes || compression != kNoCompression || !drawableBitCount(bitCount)) return false;
  if (width <= 0 || width > kMaxSide || height == 0 || height > kMaxSide || height < -kMaxSide) return false;
  const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  if (offset > bytes.size() || (bytes.size() - offset) / stride < rows) return false;
  std::memcpy(out.infoHeader, info, kInfoHeaderBytes);
  out.width = width;
  out.height = height;
  out.bitCount = bitCount;
  out.rowOffset = offset;
  out.stride = stride;
  return true;
}

}  // namespace one
