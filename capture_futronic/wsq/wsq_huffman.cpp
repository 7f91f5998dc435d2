// wsq_huffman.cpp: symbol counts, Huffman tables and bit packing of the encoder.
#include "wsq_huffman.h"

#include <cstddef>
#include <cstdio>
#include <utility>

#include "wsq_simd.h"

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace wsq {
namespace {

// Code lengths can reach far past 16 before they are limited: room for the deepest possible tree.
constexpr int kMaxRawLength = COUNT_SIZE + 1;

// Code length of every symbol by Huffman's procedure: the two least frequent entries are merged until
// one is left; on equal frequencies the larger symbol number counts as the less frequent.
void find_huff_sizes(int* codesize, const int* counts) {
  int freq[COUNT_SIZE];
  int others[COUNT_SIZE];
  // A min-heap of the entries still in play, least frequent on top and, among equal frequencies, the
  // larger symbol number first: the order in which a scan for the least frequent entry would take them.
  int heap[COUNT_SIZE];
  int heapSize = 0;
  auto before = [&](int a, int b) { return freq[a] < freq[b] || (freq[a] == freq[b] && a > b); };
  auto siftDown = [&](int i) {
    for (;;) {
      int best = i;
      const int l = 2 * i + 1, r = 2 * i + 2;
      if (l < heapSize && before(heap[l], heap[best])) best = l;
      if (r < heapSize && before(heap[r], heap[best])) best = r;
      if (best == i) return;
      std::swap(heap[i], heap[best]);
      i = best;
    }
  };
  auto pop = [&] {
    const int top = heap[0];
    heap[0] = heap[--heapSize];
    siftDown(0);
    return top;
  };
  auto push = [&](int entry) {
    int i = heapSize++;
    heap[i] = entry;
    while (i > 0 && before(heap[i], heap[(i - 1) / 2])) {
      std::swap(heap[i], heap[(i - 1) / 2]);
      i = (i - 1) / 2;
    }
  };
  for (int i = 0; i < COUNT_SIZE; ++i) {
    freq[i] = counts[i];
    others[i] = -1;
    codesize[i] = 0;
    if (counts[i] > 0) push(i);
  }
  // Merge the two least frequent entries into the first until one is left.
  while (heapSize > 1) {
    int v1 = pop();
    int v2 = pop();
    freq[v1] += freq[v2];
    freq[v2] = 0;
    push(v1);
    ++codesize[v1];
    while (others[v1] != -1) {
      v1 = others[v1];
      ++codesize[v1];
    }
    others[v1] = v2;
    ++codesize[v2];
    while (others[v2] != -1) {
      v2 = others[v2];
      ++codesize[v2];
    }
  }
}

// Bits are written MSB first through a 64-bit accumulator, 32 at a time; a word without an 0xFF byte is
// stored whole, any other byte by byte with a 0x00 after each 0xFF.
class StuffedBitWriter {
 public:
  StuffedBitWriter(unsigned char* out, int size) : out_(out), size_(size) {}

  // `bits` holds `n` bits (1 to 32), nothing above them.
  void put(uint32_t bits, int n) {
    accumulator_ = (accumulator_ << n) | bits;
    pending_ += n;
    if (pending_ < 32) return;
    pending_ -= 32;
    const uint32_t word = static_cast<uint32_t>(accumulator_ >> pending_);
    const bool hasFF = (((~word) - 0x01010101u) & word & 0x80808080u) != 0;
    if (!hasFF && written_ <= size_ - 4) {
      out_[written_] = static_cast<unsigned char>(word >> 24);
      out_[written_ + 1] = static_cast<unsigned char>(word >> 16);
      out_[written_ + 2] = static_cast<unsigned char>(word >> 8);
      out_[written_ + 3] = static_cast<unsigned char>(word);
      written_ += 4;
      return;
    }
    for (int shift = 24; shift >= 0; shift -= 8) putCodedByte(static_cast<unsigned char>(word >> shift));
  }
  // The whole bytes left, then a partial byte filled with 1-bits.
  void finish() {
    while (pending_ >= 8) {
      pending_ -= 8;
      putCodedByte(static_cast<unsigned char>(accumulator_ >> pending_));
    }
    if (pending_ > 0) {
      const int fill = 8 - pending_;
      putCodedByte(static_cast<unsigned char>((accumulator_ << fill) | ((1u << fill) - 1u)));
      pending_ = 0;
    }
  }
  bool overflow() const { return overflow_; }
  int written() const { return written_; }

 private:
  void putCodedByte(unsigned char byte) {
    putByte(byte);
    if (byte == 0xFF) putByte(0x00);
  }
  void putByte(unsigned char byte) {
    if (written_ >= size_) {
      overflow_ = true;
      return;
    }
    out_[written_++] = byte;
  }

  unsigned char* out_;
  int size_;
  int written_ = 0;
  bool overflow_ = false;
  uint64_t accumulator_ = 0;
  int pending_ = 0;  // bits of the accumulator not yet written, the lowest ones
};

}  // namespace

namespace {

// Items of the zero run of `run` coefficients: runs are closed at 65535 zeros, the next zero starting a
// new one.
template <class Emit>
void emitZeroRun(int run, Emit& emit) {
  for (; run > 65535; run -= 65535) emit(106u | (65535u << 8));
  if (run <= 100) emit(static_cast<WsqItem>(run));
  else if (run <= 255) emit(105u | (static_cast<WsqItem>(run) << 8));
  else emit(106u | (static_cast<WsqItem>(run) << 8));
}

template <class Emit>
void emitValue(int value, Emit& emit) {
  if (value >= -73 && value <= 74) emit(static_cast<WsqItem>(value + 180));
  else if (value > 255) emit(103u | (static_cast<WsqItem>(value) << 8));
  else if (value > 0) emit(101u | (static_cast<WsqItem>(value) << 8));
  else if (value >= -255) emit(102u | (static_cast<WsqItem>(-value) << 8));
  else emit(104u | (static_cast<WsqItem>(-value) << 8));
}

int lowestBit(unsigned mask) {
#if defined(_MSC_VER) && !defined(__clang__)
  unsigned long index;
  _BitScanForward(&index, mask);
  return static_cast<int>(index);
#else
  return __builtin_ctz(mask);
#endif
}

}  // namespace

int symbolize_block(WsqItem* items, int* counts, const int16_t* sip, int count) {
  int n = 0;
  auto emit = [&](WsqItem item) {
    ++counts[item & 0xFFu];
    items[n++] = item;
  };
  // Every non-zero value ends the zero run before it (if any) and is coded itself; `runStart` is where
  // the current run of zeros began.
  int runStart = 0;
  auto value = [&](int i) {
    const int run = i - runStart;
    if (run <= 100) {
      // A short run or none, without a branch on which: the run's item is written either way and kept
      // only when there is a run. Symbol 0 is never coded; its count is cleared at the end.
      items[n] = static_cast<WsqItem>(run);
      ++counts[run];
      n += run > 0;
    } else {
      emitZeroRun(run, emit);
    }
    emitValue(sip[i], emit);
    runStart = i + 1;
  };
  int i = 0;
#if WSQ_HAVE_SSE2
  // Eight coefficients at a time: a mask of the non-zero ones, taken lowest first.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= count; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sip + i));
    unsigned nonZero = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, zero))) & 0xFFFFu;
    while (nonZero != 0) {
      const int bit = lowestBit(nonZero);
      value(i + bit / 2);
      nonZero &= ~(3u << bit);
    }
  }
#endif
  for (; i < count; ++i) {
    if (sip[i] != 0) value(i);
  }
  if (count > runStart) emitZeroRun(count - runStart, emit);
  counts[0] = 0;
  return n;
}

uint64_t codedBits(const int* counts, const HuffmanCodeTable& table) {
  uint64_t bits = 0;
  for (int s = 0; s < MAX_HUFFCOUNTS; ++s) {
    bits += static_cast<uint64_t>(counts[s]) * static_cast<uint64_t>(table.size[s] + rawBitCountOf(s));
  }
  return bits;
}

int generate_huffman_table(HuffmanCodeTable& table, const int* counts) {
  table = HuffmanCodeTable{};
  int codesize[COUNT_SIZE];
  find_huff_sizes(codesize, counts);

  // Codes per length, the reserved symbol included.
  int bits[kMaxRawLength + 1] = {};
  int longest = 0;
  for (int i = 0; i < COUNT_SIZE; ++i) {
    if (codesize[i] > 0) {
      ++bits[codesize[i]];
      if (codesize[i] > longest) longest = codesize[i];
    }
  }

  // Limit the lengths to 16 bits: take two codes off the longest length, put one back one bit shorter
  // and turn one shorter code into two one bit longer.
  for (int i = longest; i > MAX_HUFFBITS; --i) {
    while (bits[i] > 0) {
      int j = i - 2;
      while (j > 0 && bits[j] == 0) --j;
      if (j == 0) break;
      bits[i] -= 2;
      bits[i - 1] += 1;
      bits[j + 1] += 2;
      bits[j] -= 1;
    }
  }
  for (int i = MAX_HUFFBITS + 1; i <= longest; ++i) {
    if (bits[i] != 0) {
      std::fprintf(stderr, "ERROR : sort_huffbits : Code length of %d is greater than 16.\n", i);
      return -3;
    }
  }
  // The reserved symbol holds the last code of the longest length (it is the least frequent entry and
  // has the largest number): drop it.
  for (int i = MAX_HUFFBITS; i > 0; --i) {
    if (bits[i] > 0) {
      --bits[i];
      break;
    }
  }

  // Symbols 0..255 in order of their unlimited code length, then of symbol number; they take the
  // limited lengths in that order.
  int count = 0;
  for (int length = 1; length <= longest; ++length) {
    for (int symbol = 0; symbol < MAX_HUFFCOUNTS; ++symbol) {
      if (codesize[symbol] == length) table.values[count++] = static_cast<unsigned char>(symbol);
    }
  }
  table.valueCount = count;
  for (int i = 0; i < MAX_HUFFBITS; ++i) table.bits[i] = static_cast<unsigned char>(bits[i + 1]);

  // Canonical codes.
  unsigned code = 0;
  int k = 0;
  for (int length = 1; length <= MAX_HUFFBITS; ++length) {
    for (int i = 0; i < bits[length]; ++i, ++k) {
      if (code == (1u << length) - 1u) {
        std::fputs("WARNING: A code in the hufftable contains an ", stderr);
        std::fputs("all 1's code.\n         This image may still be ", stderr);
        std::fputs("decodable.\n         It is not compliant with ", stderr);
        std::fputs("the WSQ specification.\n", stderr);
        std::fputs("ERROR: This huffcode warning is an error ", stderr);
        std::fputs("for the encoder.\n", stderr);
        return -1;
      }
      table.size[table.values[k]] = static_cast<unsigned char>(length);
      table.code[table.values[k]] = static_cast<uint16_t>(code);
      ++code;
    }
    code <<= 1;
  }
  return 0;
}

int compress_block(unsigned char* outbuf, int* obytes, int outSize, const WsqItem* items, int itemCount,
                   const HuffmanCodeTable& table) {
  // Per symbol: its code shifted over its raw bits, and the length of both (0: no code).
  uint32_t prefix[MAX_HUFFCOUNTS];
  unsigned char length[MAX_HUFFCOUNTS];
  for (int s = 0; s < MAX_HUFFCOUNTS; ++s) {
    const int raw = rawBitCountOf(s);
    prefix[s] = static_cast<uint32_t>(table.code[s]) << raw;
    length[s] = static_cast<unsigned char>(table.size[s] == 0 ? 0 : table.size[s] + raw);
  }
  StuffedBitWriter writer(outbuf, outSize);
  for (int i = 0; i < itemCount; ++i) {
    const WsqItem item = items[i];
    const int symbol = static_cast<int>(item & 0xFFu);
    if (length[symbol] == 0) {
      std::fprintf(stderr, "ERROR : compress_block : symbol without a code\n");
      return -35;
    }
    writer.put(prefix[symbol] | (item >> 8), length[symbol]);
  }
  writer.finish();
  if (writer.overflow()) {
    std::fprintf(stderr, "ERROR : compress_block : buffer overflow : alloc = %d\n", outSize);
    return -34;
  }
  *obytes = writer.written();
  return 0;
}

}  // namespace wsq
