#include "strict_utf8.h"

#include <cstdint>

bool isStrictUtf8(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length;
    std::uint32_t point;
    std::uint32_t lowest;  // smallest code point the form may carry; below it the form is overlong
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC0 && lead <= 0xDF) {
      length = 2, point = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, point = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
      length = 4, point = lead & 0x07, lowest = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}
