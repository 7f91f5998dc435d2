// wsq_huffman.cpp: symbol counts, Huffman tables and bit packing of the encoder.
#include "wsq_huffman.h"

#include <cstddef>
#include <utility>
#include <cstdio>

#include "wsq_memory.h"

namespace wsq {
namespace {

// Code lengths can reach far past 16 before they are limited: room for the deepest possible tree.
constexpr int kMaxRawLength = COUNT_SIZE + 1;

template <class T>
T* allocateArray(int count, int failStatus, const char* text) {
  T* p = static_cast<T*>(wsqAllocate(sizeof(T) * static_cast<size_t>(count), failStatus));
  if (p == nullptr) std::fputs(text, stderr);
  return p;
}

// Owner of one array from wsqAllocate.
template <class T>
struct Owned {
  T* p;
  ~Owned() { wsqFree(p); }
};

// Code length of every symbol by Huffman's procedure: the two least frequent entries are merged until
// one is left; on equal frequencies the larger symbol number counts as the less frequent.
int find_huff_sizes(int* codesize, const int* counts) {
  Owned<int> freq{allocateArray<int>(COUNT_SIZE, -2, "ERROR : find_huff_sizes : calloc : codesize\n")};
  if (freq.p == nullptr) return -2;
  Owned<int> others{allocateArray<int>(COUNT_SIZE, -3, "ERROR : find_huff_sizes : malloc : others\n")};
  if (others.p == nullptr) return -3;
  // A min-heap of the entries still in play, least frequent on top and, among equal frequencies, the
  // larger symbol number first: the order in which a scan for the least frequent entry would take them.
  int heap[COUNT_SIZE];
  int heapSize = 0;
  auto before = [&](int a, int b) { return freq.p[a] < freq.p[b] || (freq.p[a] == freq.p[b] && a > b); };
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
    freq.p[i] = counts[i];
    others.p[i] = -1;
    codesize[i] = 0;
    if (counts[i] > 0) push(i);
  }
  // Merge the two least frequent entries into the first until one is left.
  while (heapSize > 1) {
    int v1 = pop();
    int v2 = pop();
    freq.p[v1] += freq.p[v2];
    freq.p[v2] = 0;
    push(v1);
    ++codesize[v1];
    while (others.p[v1] != -1) {
      v1 = others.p[v1];
      ++codesize[v1];
    }
    others.p[v1] = v2;
    ++codesize[v2];
    while (others.p[v2] != -1) {
      v2 = others.p[v2];
      ++codesize[v2];
    }
  }
  return 0;
}

}  // namespace

int count_block(int** ocounts, const int16_t* sip, int count) {
  int* counts = allocateArray<int>(COUNT_SIZE, -48, "ERROR : count_block : calloc : counts\n");
  if (counts == nullptr) return -48;
  counts[RESERVED_SYMBOL] = 1;
  forEachSymbol(sip, count, [&](const WsqSymbol& s) { ++counts[s.symbol]; });
  *ocounts = counts;
  return 0;
}

int generate_huffman_table(HuffmanCodeTable& table, const int* counts) {
  table = HuffmanCodeTable{};
  Owned<int> codesize{allocateArray<int>(COUNT_SIZE, -2, "ERROR : find_huff_sizes : calloc : codesize\n")};
  if (codesize.p == nullptr) return -2;
  int ret = find_huff_sizes(codesize.p, counts);
  if (ret) return ret;

  // Codes per length, the reserved symbol included.
  Owned<int> bits{allocateArray<int>(kMaxRawLength + 1, -2, "ERROR : find_num_huff_sizes : calloc : bits\n")};
  if (bits.p == nullptr) return -2;
  int longest = 0;
  for (int i = 0; i < COUNT_SIZE; ++i) {
    if (codesize.p[i] > 0) {
      ++bits.p[codesize.p[i]];
      if (codesize.p[i] > longest) longest = codesize.p[i];
    }
  }

  // Limit the lengths to 16 bits: take two codes off the longest length, put one back one bit shorter
  // and turn one shorter code into two one bit longer.
  for (int i = longest; i > MAX_HUFFBITS; --i) {
    while (bits.p[i] > 0) {
      int j = i - 2;
      while (j > 0 && bits.p[j] == 0) --j;
      if (j == 0) break;
      bits.p[i] -= 2;
      bits.p[i - 1] += 1;
      bits.p[j + 1] += 2;
      bits.p[j] -= 1;
    }
  }
  for (int i = MAX_HUFFBITS + 1; i <= longest; ++i) {
    if (bits.p[i] != 0) {
      std::fprintf(stderr, "ERROR : sort_huffbits : Code length of %d is greater than 16.\n", i);
      return -3;
    }
  }
  // The reserved symbol holds the last code of the longest length (it is the least frequent entry and
  // has the largest number): drop it.
  for (int i = MAX_HUFFBITS; i > 0; --i) {
    if (bits.p[i] > 0) {
      --bits.p[i];
      break;
    }
  }

  // Symbols 0..255 in order of their unlimited code length, then of symbol number; they take the
  // limited lengths in that order.
  int count = 0;
  for (int length = 1; length <= longest; ++length) {
    for (int symbol = 0; symbol < MAX_HUFFCOUNTS; ++symbol) {
      if (codesize.p[symbol] == length) table.values[count++] = static_cast<unsigned char>(symbol);
    }
  }
  table.valueCount = count;
  for (int i = 0; i < MAX_HUFFBITS; ++i) table.bits[i] = static_cast<unsigned char>(bits.p[i + 1]);

  // Canonical codes.
  unsigned code = 0;
  int k = 0;
  for (int length = 1; length <= MAX_HUFFBITS; ++length) {
    for (int i = 0; i < bits.p[length]; ++i, ++k) {
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

int compress_block(unsigned char* outbuf, int* obytes, int outSize, const int16_t* sip, int count,
                   const HuffmanCodeTable& table) {
  int written = 0;
  bool overflow = false;
  auto putByte = [&](unsigned char byte) {
    if (written >= outSize) {
      overflow = true;
      return;
    }
    outbuf[written++] = byte;
  };
  auto putCodedByte = [&](unsigned char byte) {
    putByte(byte);
    if (byte == 0xFF) putByte(0x00);
  };
  // Bits wait in a 64-bit accumulator (right-aligned) and leave it a byte at a time.
  uint64_t accumulator = 0;
  int pending = 0;
  auto putBits = [&](uint64_t bits, int n) {
    accumulator = (accumulator << n) | (bits & ((uint64_t{1} << n) - 1u));
    pending += n;
    while (pending >= 8) {
      pending -= 8;
      putCodedByte(static_cast<unsigned char>(accumulator >> pending));
    }
  };
  bool missingCode = false;
  forEachSymbol(sip, count, [&](const WsqSymbol& s) {
    if (overflow || missingCode) return;
    if (table.size[s.symbol] == 0) {
      missingCode = true;
      return;
    }
    // The code and its raw bits (at most 16 + 16) in one go.
    putBits((uint64_t{table.code[s.symbol]} << s.rawBitCount) | (s.rawBits & ((1u << s.rawBitCount) - 1u)),
            table.size[s.symbol] + s.rawBitCount);
  });
  if (pending > 0 && !overflow && !missingCode) {
    putBits((uint64_t{1} << (8 - pending)) - 1u, 8 - pending);
  }
  if (missingCode) {
    std::fprintf(stderr, "ERROR : compress_block : symbol without a code\n");
    return -35;
  }
  if (overflow) {
    std::fprintf(stderr, "ERROR : compress_block : buffer overflow : alloc = %d\n", outSize);
    return -34;
  }
  *obytes = written;
  return 0;
}

}  // namespace wsq
