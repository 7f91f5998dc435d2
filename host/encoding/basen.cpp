#include "basen.h"

void base64Encode(const std::uint8_t* data, std::size_t size, std::string& out) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out.reserve(out.size() + (size * 8 + 5) / 6);
  std::uint32_t bits = 0;  // pending bits, most significant first
  int pending = 0;
  for (std::size_t i = 0; i < size; ++i) {
    bits = (bits << 8) | data[i];
    pending += 8;
    while (pending >= 6) {
      pending -= 6;
      out += kAlphabet[(bits >> pending) & 0x3F];
    }
    bits &= (1u << pending) - 1;
  }
  if (pending > 0) out += kAlphabet[(bits << (6 - pending)) & 0x3F];
}
