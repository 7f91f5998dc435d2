// wsq_format.h: the fixed facts of the WSQ stream that encoder and decoder share: markers, subband counts,
// the three coded blocks and the analysis filters of the 9/7 pair this encoder uses.
#pragma once

namespace wsq {

constexpr int SOI_WSQ = 0xFFA0;  // start of image
constexpr int EOI_WSQ = 0xFFA1;  // end of image
constexpr int SOF_WSQ = 0xFFA2;  // frame header
constexpr int SOB_WSQ = 0xFFA3;  // block header
constexpr int DTT_WSQ = 0xFFA4;  // transform table
constexpr int DQT_WSQ = 0xFFA5;  // quantisation table
constexpr int DHT_WSQ = 0xFFA6;  // Huffman table(s)
constexpr int DRT_WSQ = 0xFFA7;  // restart interval
constexpr int COM_WSQ = 0xFFA8;  // comment
constexpr int RST0_WSQ = 0xFFB0;  // restart markers 0xFFB0..0xFFB7 inside coded data

constexpr int W_TREELEN = 20;   // two-dimensional splits of the wavelet decomposition
constexpr int Q_TREELEN = 64;   // subbands named by the quantisation tree
constexpr int NUM_SUBBANDS = 60;  // subbands that can carry data (60..63 never do)

// Coded blocks: first subband and one past the last.
constexpr int NUM_BLOCKS = 3;
constexpr int BLOCK_FIRST[NUM_BLOCKS] = {0, 19, 52};
constexpr int BLOCK_END[NUM_BLOCKS] = {19, 52, 60};

constexpr int MAX_HUFFBITS = 16;      // longest code length
constexpr int MAX_HUFFCOUNTS = 256;   // symbols 0..255 (symbol 256 is the reserved code point)

// Analysis filters, held as single-precision floats exactly as written into the transform table.
constexpr int LO_FILTER_LEN = 9;
constexpr int HI_FILTER_LEN = 7;
constexpr float LO_FILTER[LO_FILTER_LEN] = {
    0.0378284566f, -0.0238494650f, -0.1106244028f, 0.3774028420f, 0.8526986837f,
    0.3774028420f, -0.1106244028f, -0.0238494650f, 0.0378284566f};
constexpr float HI_FILTER[HI_FILTER_LEN] = {
    0.0645388812f, -0.0406894162f, -0.4180922806f, 0.7884855866f,
    -0.4180922806f, -0.0406894162f, 0.0645388812f};

}  // namespace wsq
