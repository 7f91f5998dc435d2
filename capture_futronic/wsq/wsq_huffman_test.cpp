// Symbols, table building and bit packing of the entropy coder.
#include "wsq_huffman.h"

#include <gtest/gtest.h>

#include <vector>


namespace wsq {
namespace {

// A coded item taken apart: its symbol and the raw bits after the symbol's code.
struct WsqSymbol {
  int symbol;
  int rawBitCount;
  unsigned rawBits;
};

std::vector<WsqSymbol> symbolsOf(const std::vector<int16_t>& values) {
  std::vector<WsqItem> items(values.size());
  std::vector<int> counts(COUNT_SIZE, 0);
  items.resize(static_cast<size_t>(
      symbolize_block(items.data(), counts.data(), values.data(), static_cast<int>(values.size()))));
  std::vector<WsqSymbol> out;
  for (const WsqItem item : items) {
    const int symbol = static_cast<int>(item & 0xFFu);
    out.push_back({symbol, rawBitCountOf(symbol), item >> 8});
  }
  return out;
}

std::vector<int16_t> zeros(int n) { return std::vector<int16_t>(static_cast<size_t>(n), 0); }

TEST(WsqSymbols, ValuesAndZeroRuns) {
  struct Case {
    const char* name;
    std::vector<int16_t> values;
    std::vector<WsqSymbol> expected;
  };
  const Case cases[] = {
      {"74 direct", {74}, {{254, 0, 0}}},
      {"75 escapes with 8 bits", {75}, {{101, 8, 75}}},
      {"-73 direct", {-73}, {{107, 0, 0}}},
      {"-74 escapes with its magnitude", {-74}, {{102, 8, 74}}},
      {"1 and -1", {1, -1}, {{181, 0, 0}, {179, 0, 0}}},
      {"255 and -255", {255, -255}, {{101, 8, 255}, {102, 8, 255}}},
      {"256 and -256 take 16 bits", {256, -256}, {{103, 16, 256}, {104, 16, 256}}},
      {"32767 and -32768", {32767, -32768}, {{103, 16, 32767}, {104, 16, 32768}}},
      {"run 100", zeros(100), {{100, 0, 0}}},
      {"run 101", zeros(101), {{105, 8, 101}}},
      {"run 255", zeros(255), {{105, 8, 255}}},
      {"run 256", zeros(256), {{106, 16, 256}}},
      {"run 65535", zeros(65535), {{106, 16, 65535}}},
      {"run 65536 splits", zeros(65536), {{106, 16, 65535}, {1, 0, 0}}},
      {"run 131170 splits twice", zeros(131170), {{106, 16, 65535}, {106, 16, 65535}, {100, 0, 0}}},
  };
  for (const Case& c : cases) {
    const std::vector<WsqSymbol> got = symbolsOf(c.values);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].symbol, c.expected[i].symbol) << c.name << " item " << i;
      EXPECT_EQ(got[i].rawBitCount, c.expected[i].rawBitCount) << c.name << " item " << i;
      EXPECT_EQ(got[i].rawBits, c.expected[i].rawBits) << c.name << " item " << i;
    }
  }
}

TEST(WsqSymbols, RunsEndAtValuesAndAtTheBlockEnd) {
  const std::vector<int16_t> values = {0, 0, 3, 0, 0, 0};
  const std::vector<WsqSymbol> got = symbolsOf(values);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].symbol, 2);
  EXPECT_EQ(got[1].symbol, 183);
  EXPECT_EQ(got[2].symbol, 3);
}

TEST(WsqSymbolizeBlock, ItemsAndCountsInOnePass) {
  const std::vector<int16_t> values = {5, 5, 0, 0, 300, -2, -200};
  std::vector<int> counts(COUNT_SIZE, 0);
  std::vector<WsqItem> items(values.size());
  const int n = symbolize_block(items.data(), counts.data(), values.data(), static_cast<int>(values.size()));
  ASSERT_EQ(n, 6);
  items.resize(6);
  EXPECT_EQ(items, (std::vector<WsqItem>{185, 185, 2, 103 | (300u << 8), 178, 102 | (200u << 8)}));
  EXPECT_EQ(counts[185], 2);
  EXPECT_EQ(counts[2], 1);
  EXPECT_EQ(counts[103], 1);
  EXPECT_EQ(counts[178], 1);
  EXPECT_EQ(counts[102], 1);
  int total = 0;
  for (int i = 0; i < COUNT_SIZE; ++i) total += counts[i];
  EXPECT_EQ(total, 6);
}

// Every symbol with a count gets a code, no code is all 1-bits, the codes are prefix-free and the
// lengths fit in 16 bits.
void expectUsableTable(const HuffmanCodeTable& t, const std::vector<int>& counts) {
  int listed = 0;
  for (int i = 0; i < MAX_HUFFBITS; ++i) listed += t.bits[i];
  EXPECT_EQ(listed, t.valueCount);
  for (int s = 0; s < MAX_HUFFCOUNTS; ++s) {
    if (counts[s] > 0) {
      ASSERT_GT(t.size[s], 0) << "symbol " << s;
      ASSERT_LE(t.size[s], MAX_HUFFBITS) << "symbol " << s;
      EXPECT_NE(t.code[s], (1u << t.size[s]) - 1u) << "symbol " << s;
    }
  }
  for (int a = 0; a < MAX_HUFFCOUNTS; ++a) {
    for (int b = 0; b < MAX_HUFFCOUNTS; ++b) {
      if (a == b || t.size[a] == 0 || t.size[b] == 0 || t.size[a] > t.size[b]) continue;
      EXPECT_NE(t.code[b] >> (t.size[b] - t.size[a]), t.code[a]) << a << " is a prefix of " << b;
    }
  }
}

TEST(WsqHuffmanTable, CanonicalCodesFromCounts) {
  std::vector<int> counts(COUNT_SIZE, 0);
  counts[181] = 8;
  counts[179] = 4;
  counts[1] = 2;
  counts[RESERVED_SYMBOL] = 1;
  HuffmanCodeTable t;
  ASSERT_EQ(generate_huffman_table(t, counts.data()), 0);
  // Lengths 1, 2, 3 and the reserved 3-bit code 111 left unused.
  EXPECT_EQ(t.bits[0], 1);
  EXPECT_EQ(t.bits[1], 1);
  EXPECT_EQ(t.bits[2], 1);
  ASSERT_EQ(t.valueCount, 3);
  EXPECT_EQ(t.values[0], 181);
  EXPECT_EQ(t.values[1], 179);
  EXPECT_EQ(t.values[2], 1);
  EXPECT_EQ(t.code[181], 0b0);
  EXPECT_EQ(t.code[179], 0b10);
  EXPECT_EQ(t.code[1], 0b110);
}

TEST(WsqHuffmanTable, LengthsBeyond16AreLimited) {
  // Fibonacci-like counts give a code tree far deeper than 16 levels.
  std::vector<int> counts(COUNT_SIZE, 0);
  int a = 1, b = 1;
  for (int s = 1; s <= 30; ++s) {
    counts[s] = a;
    const int next = a + b;
    a = b;
    b = next;
  }
  counts[RESERVED_SYMBOL] = 1;
  HuffmanCodeTable t;
  ASSERT_EQ(generate_huffman_table(t, counts.data()), 0);
  EXPECT_EQ(t.valueCount, 30);
  expectUsableTable(t, counts);
  int longest = 0;
  for (int i = 0; i < MAX_HUFFBITS; ++i) {
    if (t.bits[i]) longest = i + 1;
  }
  EXPECT_EQ(longest, 16);
}

TEST(WsqHuffmanTable, EmptyAndSingleSymbolBlocks) {
  std::vector<int> counts(COUNT_SIZE, 0);
  counts[RESERVED_SYMBOL] = 1;
  HuffmanCodeTable empty;
  ASSERT_EQ(generate_huffman_table(empty, counts.data()), 0);
  EXPECT_EQ(empty.valueCount, 0);

  counts[106] = 40;
  HuffmanCodeTable one;
  ASSERT_EQ(generate_huffman_table(one, counts.data()), 0);
  ASSERT_EQ(one.valueCount, 1);
  EXPECT_EQ(one.size[106], 1);
  EXPECT_EQ(one.code[106], 0);
}

std::vector<WsqItem> itemsOf(const std::vector<int16_t>& values, std::vector<int>* counts = nullptr) {
  std::vector<int> local(COUNT_SIZE, 0);
  std::vector<WsqItem> items(values.size());
  items.resize(static_cast<size_t>(symbolize_block(items.data(), counts ? counts->data() : local.data(),
                                                   values.data(), static_cast<int>(values.size()))));
  return items;
}

HuffmanCodeTable tableFor(const std::vector<int16_t>& values) {
  std::vector<int> counts(COUNT_SIZE, 0);
  itemsOf(values, &counts);
  counts[RESERVED_SYMBOL] = 1;
  HuffmanCodeTable t;
  EXPECT_EQ(generate_huffman_table(t, counts.data()), 0);
  return t;
}

// Codes `values` with their own table into `out` (`size` bytes).
int compressValues(const std::vector<int16_t>& values, const HuffmanCodeTable& t, unsigned char* out, int size,
                   int* bytes) {
  const std::vector<WsqItem> items = itemsOf(values);
  return compress_block(out, bytes, size, items.data(), static_cast<int>(items.size()), t);
}

TEST(WsqCompressBlock, AllZeroBlockIsRunsOnly) {
  const std::vector<int16_t> values = zeros(70000);
  const HuffmanCodeTable t = tableFor(values);
  ASSERT_EQ(t.size[106], 1);
  unsigned char out[64];
  int bytes = 0;
  ASSERT_EQ(compressValues(values, t, out, sizeof out, &bytes), 0);
  // Code 0 + 65535, code 0 + 4465 (0x1171): 34 bits in 5 bytes, the second one 0xFF and stuffed, the
  // last one padded with 1-bits.
  ASSERT_EQ(bytes, 6);
  EXPECT_EQ(out[0], 0x7F);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(out[2], 0x00);
  EXPECT_EQ(out[3], 0x84);
  EXPECT_EQ(out[4], 0x5C);
  EXPECT_EQ(out[5], 0x7F);
}

TEST(WsqCompressBlock, StuffsEveryFFAndPadsWithOnes) {
  // Symbol 101 followed by the raw byte 255 puts 0xFF bytes into the data; a value whose code leaves a
  // partial byte gets 1-bit padding, which may itself make an 0xFF.
  std::vector<int16_t> values;
  for (int i = 0; i < 40; ++i) values.push_back(i % 2 ? 255 : 200);
  values.push_back(1);
  const HuffmanCodeTable t = tableFor(values);
  std::vector<unsigned char> out(400);
  int bytes = 0;
  ASSERT_EQ(compressValues(values, t, out.data(), static_cast<int>(out.size()), &bytes), 0);
  int ffCount = 0;
  for (int i = 0; i < bytes; ++i) {
    if (out[i] == 0xFF) {
      ++ffCount;
      ASSERT_LT(i + 1, bytes) << "0xFF at the very end without its 0x00";
      EXPECT_EQ(out[i + 1], 0x00) << "at " << i;
      ++i;
    }
  }
  EXPECT_GT(ffCount, 0);
}

TEST(WsqCompressBlock, FinalPaddingByteFFGetsItsZero) {
  // A code of all 1-bits never exists, so raw bits end this block with 0xFF: 255 after symbol 101.
  unsigned char out[8];
  int bytes = 0;
  const std::vector<int16_t> tail = {255};
  HuffmanCodeTable t2 = tableFor(tail);
  ASSERT_EQ(t2.size[101], 1);
  ASSERT_EQ(compressValues(tail, t2, out, sizeof out, &bytes), 0);
  // 0 + 11111111 + 1111111 padding = 0x7F 0xFF, and the 0xFF is stuffed.
  ASSERT_EQ(bytes, 3);
  EXPECT_EQ(out[0], 0x7F);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(out[2], 0x00);
}

TEST(WsqCompressBlock, RefusesABlockLargerThanItsBuffer) {
  std::vector<int16_t> values;
  for (int i = 0; i < 100; ++i) values.push_back(static_cast<int16_t>(300 + i));
  const HuffmanCodeTable t = tableFor(values);
  std::vector<unsigned char> out(50, 0xAA);
  std::vector<unsigned char> guard(out);
  int bytes = -1;
  EXPECT_EQ(compressValues(values, t, out.data(), 40, &bytes), -34);
  EXPECT_EQ(bytes, -1);
  // Nothing written past the given size.
  for (size_t i = 40; i < out.size(); ++i) EXPECT_EQ(out[i], 0xAA);
}

}  // namespace
}  // namespace wsq
