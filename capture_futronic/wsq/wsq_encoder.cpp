// wsq_encoder.cpp: conversion to floating point and the encoder's sequence of steps.
#include "wsq_encoder.h"

#include <cstddef>
#include <cstdio>

#include "wsq_decompose.h"
#include "wsq_filter_kernel.h"
#include "wsq_huffman.h"
#include "wsq_memory.h"
#include "wsq_quantize.h"
#include "wsq_simd.h"
#include "wsq_stream_writer.h"

namespace wsq {
namespace {

// The encoder's working memory, one allocation for the whole call: the image as floats (whose room then
// holds the coded items, at most one a coefficient), the decomposition's scratch and the quantised
// coefficients. The stream buffer, handed over to the caller, is separate. Everything is written before
// it is read, so nothing is zeroed.
struct Workspace {
  void* block = nullptr;
  float* fdata = nullptr;
  float* scratch = nullptr;
  int16_t* qdata = nullptr;
  unsigned char* wsq_data = nullptr;

  bool allocate(int width, int height) {
    const size_t n = static_cast<size_t>(width) * height;
    const size_t scratchFloats = decomposeScratchFloats(width, height);
    block = wsqAllocateUninitialised(sizeof(float) * (n + scratchFloats) + sizeof(int16_t) * n, -10);
    if (block == nullptr) return false;
    fdata = static_cast<float*>(block);
    scratch = fdata + n;
    qdata = reinterpret_cast<int16_t*>(scratch + scratchFloats);
    return true;
  }
  WsqItem* items() { return reinterpret_cast<WsqItem*>(fdata); }
  ~Workspace() {
    wsqFree(block);
    wsqFree(wsq_data);
  }
};

// Bytes of every segment but the coded data: start of image, transform table, quantisation table, frame
// header, two Huffman tables with `values` symbols in all, three block headers, end of image.
size_t headerBytes(int values) { return 2 + 60 + 391 + 19 + 2 * (2 + 2 + 1 + MAX_HUFFBITS) + values + 3 * 5 + 2; }

// Most bytes `bits` of code can take in the stream: every byte stuffed, and a padded last byte.
size_t codedBytesBound(uint64_t bits) { return 2 * static_cast<size_t>((bits + 7) / 8) + 2; }

#if WSQ_HAVE_SSE2
// (pixel - shift) / scale lane by lane: each byte converted exactly, then the scalar loop's two
// operations. Both return the number of pixels done.
int normaliseSse2(float* fip, const unsigned char* data, int num_pix, float shift, float scale) {
  const __m128 vShift = _mm_set1_ps(shift), vScale = _mm_set1_ps(scale);
  int i = 0;
  for (; i + 16 <= num_pix; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i words[2] = {_mm_unpacklo_epi8(v, _mm_setzero_si128()), _mm_unpackhi_epi8(v, _mm_setzero_si128())};
    for (int w = 0; w < 2; ++w) {
      const __m128i ints[2] = {_mm_unpacklo_epi16(words[w], _mm_setzero_si128()),
                               _mm_unpackhi_epi16(words[w], _mm_setzero_si128())};
      for (int h = 0; h < 2; ++h) {
        _mm_storeu_ps(fip + i + 8 * w + 4 * h, _mm_div_ps(_mm_sub_ps(_mm_cvtepi32_ps(ints[h]), vShift), vScale));
      }
    }
  }
  return i;
}

WSQ_AVX_FUNCTION int normaliseAvx(float* fip, const unsigned char* data, int num_pix, float shift, float scale) {
  const __m256 vShift = _mm256_set1_ps(shift), vScale = _mm256_set1_ps(scale);
  int i = 0;
  for (; i + 16 <= num_pix; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i words[2] = {_mm_unpacklo_epi8(v, _mm_setzero_si128()), _mm_unpackhi_epi8(v, _mm_setzero_si128())};
    for (int w = 0; w < 2; ++w) {
      const __m256i ints = _mm256_insertf128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi16(words[w], _mm_setzero_si128())),
                                                   _mm_unpackhi_epi16(words[w], _mm_setzero_si128()), 1);
      _mm256_storeu_ps(fip + i + 8 * w, _mm256_div_ps(_mm256_sub_ps(_mm256_cvtepi32_ps(ints), vShift), vScale));
    }
  }
  return i;
}
#endif

}  // namespace

int conv_img_2_flt(float* fip, float* m_shift, float* r_scale, const unsigned char* data, int num_pix) {
  // The sum in 64 bits cannot wrap (at most 255 x 2^31); below 2^32 it is the value a 32-bit sum had.
  uint64_t sum = 0;
  unsigned char low = 255, high = 0;
  int i = 0;
#if WSQ_HAVE_SSE2
  {
    __m128i sums = _mm_setzero_si128();
    __m128i lows = _mm_set1_epi8(static_cast<char>(-1)), highs = _mm_setzero_si128();
    for (; i + 16 <= num_pix; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      sums = _mm_add_epi64(sums, _mm_sad_epu8(v, _mm_setzero_si128()));
      lows = _mm_min_epu8(lows, v);
      highs = _mm_max_epu8(highs, v);
    }
    alignas(16) uint64_t halves[2];
    alignas(16) unsigned char lowBytes[16], highBytes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(halves), sums);
    _mm_store_si128(reinterpret_cast<__m128i*>(lowBytes), lows);
    _mm_store_si128(reinterpret_cast<__m128i*>(highBytes), highs);
    sum = halves[0] + halves[1];
    for (int k = 0; k < 16; ++k) {
      low = lowBytes[k] < low ? lowBytes[k] : low;
      high = highBytes[k] > high ? highBytes[k] : high;
    }
  }
#endif
  for (int k = i; k < num_pix; ++k) {
    sum += data[k];
    low = data[k] < low ? data[k] : low;
    high = data[k] > high ? data[k] : high;
  }
  // The mean in float after converting the sum (inexact above 2^24): measured against the NIST
  // reference encoder's files, a division in double agrees no better (one more differing bin index on
  // one image, and bin widths off in the last digit on two), so float it stays.
  const float shift = static_cast<float>(sum) / static_cast<float>(num_pix);
  const float below = shift - low;
  const float above = high - shift;
  const float scale = (below > above ? below : above) * 0.0078125f;
  *m_shift = shift;
  *r_scale = scale;
  if (scale == 0.0f) {
    // Every pixel has the same value: there is nothing to scale by.
    std::fprintf(stderr, "ERROR: conv_img_2_flt: uniform image, r_scale is 0\n");
    return -92;
  }
  i = 0;
#if WSQ_HAVE_SSE2
  const VectorPath path = currentVectorPath();
  if (path == VectorPath::Avx) i = normaliseAvx(fip, data, num_pix, shift, scale);
  else if (path == VectorPath::Sse2) i = normaliseSse2(fip, data, num_pix, shift, scale);
#endif
  for (; i < num_pix; ++i) fip[i] = (data[i] - shift) / scale;
  return 0;
}

int wsq_encode_1(unsigned char** odata, int* olen, const unsigned char* idata, int width, int height,
                 float r_bitrate) {
  const int num_pix = width * height;
  Workspace b;
  int ret;

  if (!b.allocate(width, height)) {
    std::fprintf(stderr, "ERROR : wsq_encode_1 : malloc : fdata\n");
    return -10;
  }
  float m_shift = 0.0f, r_scale = 0.0f;
  if ((ret = conv_img_2_flt(b.fdata, &m_shift, &r_scale, idata, num_pix))) return ret;

  const WsqTrees trees = build_wsq_trees(width, height);
  wsq_decompose(b.fdata, b.scratch, width, height, trees);

  QuantParams params;
  params.r = r_bitrate;
  variance(params, b.fdata, width, trees);
  int qsize = 0;
  if ((ret = quantize(b.qdata, &qsize, params, trees, b.fdata, width, height))) return ret;

  int qsizes[NUM_BLOCKS] = {0, 0, 0};
  quant_block_sizes(&qsizes[0], &qsizes[1], &qsizes[2], params, trees);
  if (qsizes[0] + qsizes[1] + qsizes[2] != qsize) {
    std::fprintf(stderr, "ERROR : wsq_encode_1 : problem w/quantization block sizes\n");
    return -11;
  }

  // One pass over each block's coefficients: its items, in the room of the floats (no longer needed),
  // and its symbol counts. Block 1 has table 0; blocks 2 and 3 share table 1, built from both blocks'
  // counts.
  WsqItem* items[NUM_BLOCKS];
  int itemCounts[NUM_BLOCKS];
  int counts[NUM_BLOCKS][COUNT_SIZE] = {};
  const int16_t* coefficients = b.qdata;
  items[0] = b.items();
  for (int block = 0; block < NUM_BLOCKS; ++block) {
    itemCounts[block] = symbolize_block(items[block], counts[block], coefficients, qsizes[block]);
    coefficients += qsizes[block];
    if (block + 1 < NUM_BLOCKS) items[block + 1] = items[block] + itemCounts[block];
  }
  int shared[COUNT_SIZE];
  for (int i = 0; i < COUNT_SIZE; ++i) shared[i] = counts[1][i] + counts[2][i];
  // The reserved symbol stands for one code point in each table.
  counts[0][RESERVED_SYMBOL] = 1;
  shared[RESERVED_SYMBOL] = 1;
  HuffmanCodeTable tables[2];
  if ((ret = generate_huffman_table(tables[0], counts[0]))) return ret;
  if ((ret = generate_huffman_table(tables[1], shared))) return ret;

  // The stream buffer holds the stream whatever the code's stuffing turns out to be.
  const size_t streamBound = headerBytes(tables[0].valueCount + tables[1].valueCount) +
                             codedBytesBound(codedBits(counts[0], tables[0])) +
                             codedBytesBound(codedBits(counts[1], tables[1])) +
                             codedBytesBound(codedBits(counts[2], tables[1]));
  if (streamBound > 0x7FFFFFFF ||
      (b.wsq_data = static_cast<unsigned char*>(wsqAllocateUninitialised(streamBound, -12))) == nullptr) {
    std::fprintf(stderr, "ERROR : wsq_encode_1 : malloc : wsq_data\n");
    return -12;
  }
  WsqOutput out{b.wsq_data, static_cast<int>(streamBound), 0};
  if ((ret = putc_start_of_image(out))) return ret;
  if ((ret = putc_transform_table(out))) return ret;
  if ((ret = putc_quantization_table(params, out))) return ret;
  if ((ret = writeFrameHeader(height, width, m_shift, r_scale, out))) return ret;

  // Each block's code goes straight into the stream after its block header.
  for (int block = 0; block < NUM_BLOCKS; ++block) {
    const int tableId = block == 0 ? 0 : 1;
    if (block < 2) {
      const HuffmanCodeTable& table = tables[tableId];
      if ((ret = writeHuffmanTable(tableId, table.bits, table.values, out))) return ret;
    }
    if ((ret = writeBlockHeader(tableId, out))) return ret;
    int coded = 0;
    if ((ret = compress_block(out.data + out.length, &coded, out.size - out.length, items[block],
                              itemCounts[block], tables[tableId]))) {
      return ret;
    }
    out.length += coded;
  }
  if ((ret = putc_end_of_image(out))) return ret;

  *odata = b.wsq_data;
  *olen = out.length;
  b.wsq_data = nullptr;
  return 0;
}

}  // namespace wsq
