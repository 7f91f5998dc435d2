// wsq_stream_writer.h: writes the marker segments of a WSQ stream into a fixed-size buffer. Every write
// checks the space first; each operation returns 0 or a negative status (text on standard error).
// Multi-byte numbers are big-endian. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "wsq_quantize.h"

namespace wsq {

// The stream buffer: `size` bytes at `data`, `length` of them written so far.
struct WsqOutput {
  unsigned char* data = nullptr;
  int size = 0;
  int length = 0;
};

int putc_byte(unsigned char value, WsqOutput& out);                      // -32 when full
int putc_bytes(const unsigned char* bytes, int count, WsqOutput& out);  // -33 when it does not fit
int writeUint16(uint16_t value, WsqOutput& out);                         // -33 when it does not fit
int writeUint32(uint32_t value, WsqOutput& out);                         // -33 when it does not fit

int putc_start_of_image(WsqOutput& out);
int putc_end_of_image(WsqOutput& out);
int putc_transform_table(WsqOutput& out);  // the 9/7 analysis filters; -82, -83 for a tap too large
int putc_quantization_table(const QuantParams& params, WsqOutput& out);  // -86 (Q), -87 (Z)
int writeFrameHeader(int height, int width, float m_shift, float r_scale, WsqOutput& out);
int writeHuffmanTable(int tableId, const unsigned char bits[MAX_HUFFBITS], const unsigned char* values,
                      WsqOutput& out);  // `values` holds the sum of `bits` symbols
int writeBlockHeader(int tableId, WsqOutput& out);

// Decimal scaling of a non-negative real for a header field with the limit `limit` (65535 for 16-bit
// fields, 4294967295 for 32-bit ones): value = v / 10^scale. Returns false when the value is not below
// the limit (or not a number). `doubleSteps` multiplies in double precision (the 32-bit filter taps),
// otherwise in float.
bool scaleDecimal(float value, double limit, bool doubleSteps, unsigned char& scale, uint32_t& v);

}  // namespace wsq
