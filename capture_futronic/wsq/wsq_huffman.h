// wsq_huffman.h: the encoder's entropy coder: symbols of a block of quantised coefficients, their counts,
// the Huffman table built from the counts, and the bit packing of a block. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "wsq_format.h"

namespace wsq {

constexpr int RESERVED_SYMBOL = 256;  // counted once so that no real code is all 1-bits
constexpr int COUNT_SIZE = MAX_HUFFCOUNTS + 1;

// A coded item: one symbol and the raw bits written after its code (0, 8 or 16 of them).
struct WsqSymbol {
  int symbol;
  int rawBitCount;
  unsigned rawBits;
};

// Cuts the coefficients into zero runs and values and hands each item to `emit` in order.
template <class Emit>
void forEachSymbol(const int16_t* sip, int count, Emit&& emit) {
  int run = 0;
  auto flushRun = [&] {
    if (run == 0) return;
    if (run <= 100) emit(WsqSymbol{run, 0, 0});
    else if (run <= 255) emit(WsqSymbol{105, 8, static_cast<unsigned>(run)});
    else emit(WsqSymbol{106, 16, static_cast<unsigned>(run)});
    run = 0;
  };
  for (int i = 0; i < count; ++i) {
    const int value = sip[i];
    if (value == 0) {
      if (run == 65535) flushRun();
      ++run;
      continue;
    }
    flushRun();
    if (value > 255) emit(WsqSymbol{103, 16, static_cast<unsigned>(value)});
    else if (value >= 75) emit(WsqSymbol{101, 8, static_cast<unsigned>(value)});
    else if (value >= -73) emit(WsqSymbol{value + 180, 0, 0});
    else if (value >= -255) emit(WsqSymbol{102, 8, static_cast<unsigned>(-value)});
    else emit(WsqSymbol{104, 16, static_cast<unsigned>(-value)});
  }
  flushRun();
}

// A Huffman table as written (bits, values) and as used for coding (size and code of every symbol).
struct HuffmanCodeTable {
  unsigned char bits[MAX_HUFFBITS] = {};       // codes of length 1..16
  unsigned char values[MAX_HUFFCOUNTS] = {};   // symbols in code order
  int valueCount = 0;
  unsigned char size[MAX_HUFFCOUNTS] = {};     // code length per symbol, 0 = no code
  uint16_t code[MAX_HUFFCOUNTS] = {};
};

// Counts the symbols of one block into a fresh array of COUNT_SIZE counters (freed with wsqFree), the
// reserved symbol counted once. Returns 0 or -48.
int count_block(int** ocounts, const int16_t* sip, int count);

// Builds the table for the summed counts of the blocks that will use it. Returns 0, -2 or -3
// (allocation, or a code longer than 16 bits after limiting) or -1 (an all-ones code).
int generate_huffman_table(HuffmanCodeTable& table, const int* counts);

// Codes one block into `outbuf` (`outSize` bytes), MSB first, 0x00 after every 0xFF, the last byte
// filled with 1-bits. Returns 0 with the byte count in `obytes`, or -34 when the code would not fit.
int compress_block(unsigned char* outbuf, int* obytes, int outSize, const int16_t* sip, int count,
                   const HuffmanCodeTable& table);

}  // namespace wsq
