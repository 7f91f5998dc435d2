// wsq_huffman.h: the encoder's entropy coder: symbols of a block of quantised coefficients, their counts,
// the Huffman table built from the counts, and the bit packing of a block. Pure functions; any thread.
#pragma once

#include <cstdint>

#include "wsq_format.h"

namespace wsq {

constexpr int RESERVED_SYMBOL = 256;  // counted once so that no real code is all 1-bits
constexpr int COUNT_SIZE = MAX_HUFFCOUNTS + 1;

// A coded item in 32 bits: the symbol in the low 8 bits, its raw bits above them. The number of raw
// bits follows from the symbol.
using WsqItem = uint32_t;
inline int rawBitCountOf(int symbol) {
  if (symbol == 101 || symbol == 102 || symbol == 105) return 8;
  if (symbol == 103 || symbol == 104 || symbol == 106) return 16;
  return 0;
}

// A Huffman table as written (bits, values) and as used for coding (size and code of every symbol).
struct HuffmanCodeTable {
  unsigned char bits[MAX_HUFFBITS] = {};       // codes of length 1..16
  unsigned char values[MAX_HUFFCOUNTS] = {};   // symbols in code order
  int valueCount = 0;
  unsigned char size[MAX_HUFFCOUNTS] = {};     // code length per symbol, 0 = no code
  uint16_t code[MAX_HUFFCOUNTS] = {};
};

// Cuts one block into items (at most `count` of them, one a coefficient at worst) and adds one to
// `counts` (COUNT_SIZE counters) for each; counts[0], a symbol no item has, is left 0. Returns the number
// of items. The single pass over a block's coefficients: coding then reads the items.
int symbolize_block(WsqItem* items, int* counts, const int16_t* sip, int count);

// Builds the table for the summed counts of the blocks that will use it. Returns 0, -3 (a code longer
// than 16 bits after limiting) or -1 (an all-ones code).
int generate_huffman_table(HuffmanCodeTable& table, const int* counts);

// Bits that the symbols of `counts` take under `table`, codes and raw bits (before any stuffing).
uint64_t codedBits(const int* counts, const HuffmanCodeTable& table);

// Codes one block's items into `outbuf` (`outSize` bytes), MSB first, 0x00 after every 0xFF, the last
// byte filled with 1-bits. Returns 0 with the byte count in `obytes`, -34 when the code would not fit,
// or -35 for a symbol the table has no code for.
int compress_block(unsigned char* outbuf, int* obytes, int outSize, const WsqItem* items, int itemCount,
                   const HuffmanCodeTable& table);

}  // namespace wsq
