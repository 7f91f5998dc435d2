// wsq_encoder.cpp: conversion to floating point and the encoder's sequence of steps.
#include "wsq_encoder.h"

#include <cstddef>
#include <cstdio>

#include "wsq_decompose.h"
#include "wsq_huffman.h"
#include "wsq_memory.h"
#include "wsq_quantize.h"
#include "wsq_stream_writer.h"

namespace wsq {
namespace {

// The encoder's working memory, one allocation for the whole call: the image as floats, the
// decomposition's scratch, the quantised coefficients and the block buffer. The stream buffer, handed
// over to the caller, is separate. Everything is written before it is read, so nothing is zeroed.
struct Workspace {
  void* block = nullptr;
  float* fdata = nullptr;
  float* scratch = nullptr;
  int16_t* qdata = nullptr;
  unsigned char* huff_buf = nullptr;
  unsigned char* wsq_data = nullptr;
  int* counts = nullptr;
  int* counts2 = nullptr;

  bool allocate(int width, int height) {
    const size_t n = static_cast<size_t>(width) * height;
    const size_t scratchFloats = decomposeScratchFloats(width, height);
    block = wsqAllocateUninitialised(sizeof(float) * (n + scratchFloats) + sizeof(int16_t) * n + n, -10);
    if (block == nullptr) return false;
    fdata = static_cast<float*>(block);
    scratch = fdata + n;
    qdata = reinterpret_cast<int16_t*>(scratch + scratchFloats);
    huff_buf = reinterpret_cast<unsigned char*>(qdata + n);
    return true;
  }
  ~Workspace() {
    wsqFree(block);
    wsqFree(wsq_data);
    wsqFree(counts);
    wsqFree(counts2);
  }
};

}  // namespace

int conv_img_2_flt(float* fip, float* m_shift, float* r_scale, const unsigned char* data, int num_pix) {
  // Below this many pixels the 32-bit sum cannot wrap, so the additions need no check each.
  constexpr int kSafePixels = static_cast<int>(0xFFFFFFFFu / 255u);
  uint32_t sum = 0;
  unsigned char low = 255, high = 0;
  if (num_pix <= kSafePixels) {
    for (int i = 0; i < num_pix; ++i) sum += data[i];
  } else {
    for (int i = 0; i < num_pix; ++i) {
      if (sum + data[i] < sum) {
        std::fprintf(stderr, "ERROR: conv_img_2_flt: overflow at %d\n", i);
        return -91;
      }
      sum += data[i];
    }
  }
  for (int i = 0; i < num_pix; ++i) {
    low = data[i] < low ? data[i] : low;
    high = data[i] > high ? data[i] : high;
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
  for (int i = 0; i < num_pix; ++i) fip[i] = (data[i] - shift) / scale;
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

  int qsize1 = 0, qsize2 = 0, qsize3 = 0;
  quant_block_sizes(&qsize1, &qsize2, &qsize3, params, trees);
  if (qsize1 + qsize2 + qsize3 != qsize) {
    std::fprintf(stderr, "ERROR : wsq_encode_1 : problem w/quantization block sizes\n");
    return -11;
  }

  b.wsq_data = static_cast<unsigned char*>(wsqAllocateUninitialised(static_cast<size_t>(num_pix), -12));
  if (b.wsq_data == nullptr) {
    std::fprintf(stderr, "ERROR : wsq_encode_1 : malloc : wsq_data\n");
    return -12;
  }
  WsqOutput out{b.wsq_data, num_pix, 0};
  if ((ret = putc_start_of_image(out))) return ret;
  if ((ret = putc_transform_table(out))) return ret;
  if ((ret = putc_quantization_table(params, out))) return ret;
  if ((ret = writeFrameHeader(height, width, m_shift, r_scale, out))) return ret;

  const int16_t* block1 = b.qdata;
  const int16_t* block2 = block1 + qsize1;
  const int16_t* block3 = block2 + qsize2;
  int hsize = 0;

  // Block 1 with table 0.
  HuffmanCodeTable table;
  if ((ret = count_block(&b.counts, block1, qsize1))) return ret;
  if ((ret = generate_huffman_table(table, b.counts))) return ret;
  if ((ret = writeHuffmanTable(0, table.bits, table.values, out))) return ret;
  if ((ret = compress_block(b.huff_buf, &hsize, num_pix, block1, qsize1, table))) return ret;
  if ((ret = writeBlockHeader(0, out))) return ret;
  if ((ret = putc_bytes(b.huff_buf, hsize, out))) return ret;

  // Blocks 2 and 3 share table 1, built from both blocks' counts.
  wsqFree(b.counts);
  b.counts = nullptr;
  if ((ret = count_block(&b.counts, block2, qsize2))) return ret;
  if ((ret = count_block(&b.counts2, block3, qsize3))) return ret;
  for (int i = 0; i < COUNT_SIZE; ++i) b.counts[i] += b.counts2[i];
  // The reserved symbol was counted once per block; it stands for one code point.
  b.counts[RESERVED_SYMBOL] = 1;
  if ((ret = generate_huffman_table(table, b.counts))) return ret;
  if ((ret = writeHuffmanTable(1, table.bits, table.values, out))) return ret;
  if ((ret = compress_block(b.huff_buf, &hsize, num_pix, block2, qsize2, table))) return ret;
  if ((ret = writeBlockHeader(1, out))) return ret;
  if ((ret = putc_bytes(b.huff_buf, hsize, out))) return ret;
  if ((ret = compress_block(b.huff_buf, &hsize, num_pix, block3, qsize3, table))) return ret;
  if ((ret = writeBlockHeader(1, out))) return ret;
  if ((ret = putc_bytes(b.huff_buf, hsize, out))) return ret;

  if ((ret = putc_end_of_image(out))) return ret;

  *odata = b.wsq_data;
  *olen = out.length;
  b.wsq_data = nullptr;
  return 0;
}

}  // namespace wsq
