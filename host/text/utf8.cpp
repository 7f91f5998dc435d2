#include "utf8.h"

#include <stdexcept>

std::u16string utf8ToUtf16(std::string_view text) {
  auto fail = [] { throw std::logic_error("not a UTF-8 string"); };
  std::u16string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i++]);
    char32_t code = 0;
    int following = 0;
    if (lead < 0x80) {
      code = lead;
    } else if (lead < 0xC0) {
      fail();
    } else if (lead < 0xE0) {
      code = lead & 0x1Fu;
      following = 1;
    } else if (lead < 0xF0) {
      code = lead & 0x0Fu;
      following = 2;
    } else if (lead < 0xF8) {
      code = lead & 0x07u;
      following = 3;
    } else {
      fail();
    }
    for (int k = 0; k < following; ++k) {
      if (i >= text.size()) fail();
      const unsigned char next = static_cast<unsigned char>(text[i++]);
      if (next < 0x80 || next > 0xBF) fail();
      code = (code << 6) | (next & 0x3Fu);
    }
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) fail();
    if (code <= 0xFFFF) {
      result += static_cast<char16_t>(code);
    } else {
      result += static_cast<char16_t>(0xD7C0 + (code >> 10));
      result += static_cast<char16_t>(0xDC00 | ((code - 0x10000) & 0x3FF));
    }
  }
  return result;
}
