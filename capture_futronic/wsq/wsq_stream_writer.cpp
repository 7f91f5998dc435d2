// wsq_stream_writer.cpp: marker segments of the encoder's stream.
#include "wsq_stream_writer.h"

#include <cmath>
#include <cstdio>

namespace wsq {
namespace {

constexpr double kLimit16 = 65535.0;
constexpr double kLimit32 = 4294967295.0;

int putMarker(int marker, WsqOutput& out) { return writeUint16(static_cast<uint16_t>(marker), out); }

// One filter tap: sign byte, scale byte, 32-bit magnitude.
int putTap(float tap, int index, bool lowPass, WsqOutput& out) {
  const float magnitude = tap < 0.0f ? -tap : tap;
  unsigned char scale = 0;
  uint32_t value = 0;
  if (!scaleDecimal(magnitude, kLimit32, true, scale, value)) {
    std::fprintf(stderr, lowPass ? "ERROR: putc_transform_table : lofilt[%d] to high at %f\n"
                                 : "ERROR: putc_transform_table : hifilt[%d] to high at %f\n",
                 index, static_cast<double>(tap));
    return lowPass ? -82 : -83;
  }
  int ret;
  if ((ret = putc_byte(tap < 0.0f ? 1 : 0, out))) return ret;
  if ((ret = putc_byte(scale, out))) return ret;
  return writeUint32(value, out);
}

int putScaled16(unsigned char scale, uint32_t value, WsqOutput& out) {
  int ret;
  if ((ret = putc_byte(scale, out))) return ret;
  return writeUint16(static_cast<uint16_t>(value), out);
}

}  // namespace

bool scaleDecimal(float value, double limit, bool doubleSteps, unsigned char& scale, uint32_t& v) {
  if (value == 0.0f) {
    scale = 0;
    v = 0;
    return true;
  }
  if (!(value < limit) || !(value > 0.0f)) return false;
  float f = value;
  int steps = 0;
  while (f < limit) {
    f = doubleSteps ? static_cast<float>(static_cast<double>(f) * 10.0) : f * 10.0f;
    ++steps;
  }
  scale = static_cast<unsigned char>(steps - 1);
  v = static_cast<uint32_t>(std::floor(static_cast<double>(f) / 10.0 + 0.5));
  return true;
}

int putc_byte(unsigned char value, WsqOutput& out) {
  if (out.length >= out.size) {
    std::fprintf(stderr, "ERROR : putc_byte : buffer overlow : alloc = %d, request = %d\n", out.size,
                 out.length + 1);
    return -32;
  }
  out.data[out.length++] = value;
  return 0;
}

int putc_bytes(const unsigned char* bytes, int count, WsqOutput& out) {
  if (count < 0 || count > out.size - out.length) {
    std::fprintf(stderr, "ERROR : putc_bytes : buffer overlow : alloc = %d, request = %d\n", out.size,
                 out.length + count);
    return -33;
  }
  for (int i = 0; i < count; ++i) out.data[out.length + i] = bytes[i];
  out.length += count;
  return 0;
}

int writeUint16(uint16_t value, WsqOutput& out) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
  return putc_bytes(bytes, 2, out);
}

int writeUint32(uint32_t value, WsqOutput& out) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
  return putc_bytes(bytes, 4, out);
}

int putc_start_of_image(WsqOutput& out) { return putMarker(SOI_WSQ, out); }

int putc_end_of_image(WsqOutput& out) { return putMarker(EOI_WSQ, out); }

int putc_transform_table(WsqOutput& out) {
  int ret;
  if ((ret = putMarker(DTT_WSQ, out))) return ret;
  if ((ret = writeUint16(58, out))) return ret;
  if ((ret = putc_byte(LO_FILTER_LEN, out))) return ret;
  if ((ret = putc_byte(HI_FILTER_LEN, out))) return ret;
  // Both filters are symmetric: the centre tap and the taps after it.
  for (int i = LO_FILTER_LEN / 2; i < LO_FILTER_LEN; ++i) {
    if ((ret = putTap(LO_FILTER[i], i, true, out))) return ret;
  }
  for (int i = HI_FILTER_LEN / 2; i < HI_FILTER_LEN; ++i) {
    if ((ret = putTap(HI_FILTER[i], i, false, out))) return ret;
  }
  return 0;
}

int putc_quantization_table(const QuantParams& params, WsqOutput& out) {
  int ret;
  if ((ret = putMarker(DQT_WSQ, out))) return ret;
  if ((ret = writeUint16(389, out))) return ret;
  // Bin centre 0.44, always as scale 2 and value 44.
  if ((ret = putScaled16(2, 44, out))) return ret;
  for (int band = 0; band < Q_TREELEN; ++band) {
    unsigned char qScale = 0, zScale = 0;
    uint32_t qValue = 0, zValue = 0;
    if (band < NUM_SUBBANDS && params.qbss[band] != 0.0f) {
      if (!scaleDecimal(params.qbss[band], kLimit16, false, qScale, qValue)) {
        std::fprintf(stderr, "ERROR : putc_quantization_table : Q[%d] to high at %f\n", band,
                     static_cast<double>(params.qbss[band]));
        return -86;
      }
      if (!scaleDecimal(params.qzbs[band], kLimit16, false, zScale, zValue)) {
        std::fprintf(stderr, "ERROR : putc_quantization_table : Z[%d] to high at %f\n", band,
                     static_cast<double>(params.qzbs[band]));
        return -87;
      }
    }
    if ((ret = putScaled16(qScale, qValue, out))) return ret;
    if ((ret = putScaled16(zScale, zValue, out))) return ret;
  }
  return 0;
}

int writeFrameHeader(int height, int width, float m_shift, float r_scale, WsqOutput& out) {
  int ret;
  if ((ret = putMarker(SOF_WSQ, out))) return ret;
  if ((ret = writeUint16(17, out))) return ret;
  if ((ret = putc_byte(0, out))) return ret;    // black level
  if ((ret = putc_byte(255, out))) return ret;  // white level
  if ((ret = writeUint16(static_cast<uint16_t>(height), out))) return ret;
  if ((ret = writeUint16(static_cast<uint16_t>(width), out))) return ret;
  unsigned char scale = 0;
  uint32_t value = 0;
  // The mean and the scale of an 8-bit image are far below the 16-bit limit.
  scaleDecimal(m_shift, kLimit16, false, scale, value);
  if ((ret = putScaled16(scale, value, out))) return ret;
  scaleDecimal(r_scale, kLimit16, false, scale, value);
  if ((ret = putScaled16(scale, value, out))) return ret;
  if ((ret = putc_byte(2, out))) return ret;  // encoder number
  return writeUint16(0, out);                 // software implementation number
}

int writeHuffmanTable(int tableId, const unsigned char bits[MAX_HUFFBITS], const unsigned char* values,
                      WsqOutput& out) {
  int count = 0;
  for (int i = 0; i < MAX_HUFFBITS; ++i) count += bits[i];
  int ret;
  if ((ret = putMarker(DHT_WSQ, out))) return ret;
  if ((ret = writeUint16(static_cast<uint16_t>(3 + MAX_HUFFBITS + count), out))) return ret;
  if ((ret = putc_byte(static_cast<unsigned char>(tableId), out))) return ret;
  if ((ret = putc_bytes(bits, MAX_HUFFBITS, out))) return ret;
  return putc_bytes(values, count, out);
}

int writeBlockHeader(int tableId, WsqOutput& out) {
  int ret;
  if ((ret = putMarker(SOB_WSQ, out))) return ret;
  if ((ret = writeUint16(3, out))) return ret;
  return putc_byte(static_cast<unsigned char>(tableId), out);
}

}  // namespace wsq
