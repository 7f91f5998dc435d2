#include "bmp_check.h"

#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

[[noreturn]] void invalid() { throw std::runtime_error("invalid bmp file"); }

}  // namespace

BmpLayout checkBmp(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kFileHeader + kInfoHeader || data[0] != 'B' || data[1] != 'M') invalid();
  if (le32(data + 2) != size) invalid();
  const std::uint8_t* info = data + kFileHeader;
  const std::uint32_t infoSize = le32(info);
  if (infoSize < kInfoHeader || infoSize > size - kFileHeader) invalid();
  if (le16(info + 12) != 1) invalid();  // planes: the image encoder reads nothing else
  if (le16(info + 14) != 8) invalid();  // bits per pixel
  if (le32(info + 16) != 0) invalid();  // compression: only BI_RGB rows have a known length
  const auto width = static_cast<std::int32_t>(le32(info + 4));
  const auto height = static_cast<std::int32_t>(le32(info + 8));
  if (width <= 0 || height == 0) invalid();

  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  const std::int64_t lines = height < 0 ? -std::int64_t{height} : std::int64_t{height};
  const std::uint64_t rowBytes = (std::uint64_t(width) * 8 + 31) / 32 * 4;
  layout.pixelOffset = le32(data + 10);
  if (layout.pixelOffset < kFileHeader + infoSize || layout.pixelOffset > size) invalid();
  if (rowBytes * std::uint64_t(lines) > size - layout.pixelOffset) invalid();
  layout.lines = static_cast<std::uint32_t>(lines);
  layout.rowBytes = static_cast<std::uint32_t>(rowBytes);
  return layout;
}

std::vector<std::uint8_t> greyBitmapInfo(const std::uint8_t* data, std::size_t size) {
  checkBmp(data, size);
  std::vector<std::uint8_t> info(kInfoHeader + 256 * 4);
  std::memcpy(info.data(), data + kFileHeader, kInfoHeader);
  put32(info.data(), kInfoHeader);  // biSize: our table follows the 40 bytes, whatever the file had
  put32(info.data() + 32, 0);       // biClrUsed: 0 means all 256 entries for 8 bits
  put32(info.data() + 36, 0);       // biClrImportant
  for (int i = 0; i < 256; ++i) {
    std::uint8_t* entry = info.data() + kInfoHeader + 4 * i;
    entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
    entry[3] = 0;
  }
  return info;
}
