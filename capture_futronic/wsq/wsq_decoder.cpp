// wsq_decoder.cpp: segment parsing, Huffman decoding of the blocks, dequantisation and the rebuilt image.
// Malformed input ends in a DecodeError caught at the public functions.
#include "wsq_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <stdexcept>

#include "wsq_format.h"
#include "wsq_memory.h"
#include "wsq_simd.h"
#include "wsq_synthesis.h"
#include "wsq_tree.h"

namespace wsq {
namespace {

struct DecodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& text) { throw DecodeError(text); }

std::string hex4(int v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) s.push_back(digits[(v >> shift) & 0xF]);
  return s;
}

// A scaled header number: float(value), divided by 10 in single precision once per unit of scale.
float unscale(int scale, uint32_t value) {
  float f = static_cast<float>(value);
  for (int i = 0; i < scale; ++i) f /= 10.0f;
  return f;
}

class ByteReader {
 public:
  ByteReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  size_t pos() const { return pos_; }
  void seek(size_t pos) { pos_ = pos; }
  size_t size() const { return size_; }
  const unsigned char* data() const { return data_; }
  void need(size_t count, const char* what) const {
    if (count > size_ - pos_) fail(std::string("stream ends inside ") + what);
  }
  int u8(const char* what) {
    need(1, what);
    return data_[pos_++];
  }
  int u16(const char* what) {
    need(2, what);
    const int v = (data_[pos_] << 8) | data_[pos_ + 1];
    pos_ += 2;
    return v;
  }
  uint32_t u32(const char* what) {
    need(4, what);
    const uint32_t v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) |
                       (uint32_t{data_[pos_ + 2]} << 8) | data_[pos_ + 3];
    pos_ += 4;
    return v;
  }

 private:
  const unsigned char* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Codes of up to kLookupBits bits (almost every code a fingerprint's tables hold) are found with one
// look-up of the next kLookupBits bits.
constexpr int kLookupBits = 11;

struct HuffmanDecodeTable {
  bool defined = false;
  int maxcode[MAX_HUFFBITS + 1];
  int mincode[MAX_HUFFBITS + 1];
  int valptr[MAX_HUFFBITS + 1];
  unsigned char values[MAX_HUFFCOUNTS];
  // For every kLookupBits-bit pattern: the code length (0: longer, or no code) and the symbol.
  unsigned char lookupLength[1 << kLookupBits];
  unsigned char lookupSymbol[1 << kLookupBits];

  // The symbol of `code`, `length` bits long, or -1 when no code of that length has that value.
  int symbolOf(int code, int length) const {
    if (maxcode[length] >= 0 && code <= maxcode[length] && code >= mincode[length]) {
      return values[valptr[length] + code - mincode[length]];
    }
    return -1;
  }
  // Fills the look-up from the code ranges: every pattern takes the shortest code its leading bits make,
  // as reading bit by bit would find it (shorter lengths are filled first and never overwritten).
  void buildLookup() {
    std::fill(std::begin(lookupLength), std::end(lookupLength), static_cast<unsigned char>(0));
    std::fill(std::begin(lookupSymbol), std::end(lookupSymbol), static_cast<unsigned char>(0));
    for (int length = 1; length <= kLookupBits; ++length) {
      if (maxcode[length] < 0) continue;
      const int span = 1 << (kLookupBits - length);
      for (int code = mincode[length]; code <= maxcode[length]; ++code) {
        const int symbol = symbolOf(code, length);
        for (int pattern = code * span; pattern < (code + 1) * span; ++pattern) {
          if (lookupLength[pattern] != 0) continue;
          lookupLength[pattern] = static_cast<unsigned char>(length);
          lookupSymbol[pattern] = static_cast<unsigned char>(symbol);
        }
      }
    }
  }
};

// Reads the coded bits of one block: MSB first, 0xFF 0x00 stands for 0xFF, any other byte after 0xFF is
// a marker and ends the data. Whole bytes are taken ahead into a 64-bit buffer, never past a marker;
// running out of bits fails only when a bit is actually needed.
class BitReader {
 public:
  BitReader(const unsigned char* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}
  // Where the data not yet taken into the buffer starts; everything between the last bit read and here
  // is coded data, so the next marker is found from here as from the last byte read.
  size_t pos() const { return pos_; }

  int bit() {
    if (count_ == 0) {
      fill();
      if (count_ == 0) failAtEnd();
    }
    --count_;
    return static_cast<int>((buffer_ >> count_) & 1u);
  }
  unsigned bits(int n) {
    if (count_ < n) fill();
    if (count_ >= n) {
      count_ -= n;
      return static_cast<unsigned>((buffer_ >> count_) & ((uint64_t{1} << n) - 1u));
    }
    unsigned v = 0;
    for (int i = 0; i < n; ++i) v = (v << 1) | static_cast<unsigned>(bit());
    return v;
  }
  // The next kLookupBits bits, or -1 when fewer are left before the end of the data.
  int peekLookup() {
    if (count_ < kLookupBits) fill();
    if (count_ < kLookupBits) return -1;
    return static_cast<int>((buffer_ >> (count_ - kLookupBits)) & ((1u << kLookupBits) - 1u));
  }
  void skip(int n) { count_ -= n; }
  // Before a symbol: when a restart marker follows and the bits left in the current byte are all 1s
  // (padding), skip both. Returns true when a restart was taken.
  bool takeRestart() {
    const int partial = count_ % 8;
    if (count_ > partial) return false;  // whole data bytes follow: no marker yet
    const uint64_t mask = (uint64_t{1} << partial) - 1u;
    if ((buffer_ & mask) != mask) return false;
    if (pos_ + 1 < size_ && data_[pos_] == 0xFF && data_[pos_ + 1] >= 0xB0 && data_[pos_ + 1] <= 0xB7) {
      pos_ += 2;
      count_ = 0;
      buffer_ = 0;
      return true;
    }
    return false;
  }

 private:
  void fill() {
    while (count_ <= 56) {
      if (pos_ >= size_) return;
      const unsigned char b = data_[pos_];
      if (b == 0xFF) {
        if (pos_ + 1 >= size_ || data_[pos_ + 1] != 0x00) return;
        pos_ += 2;
      } else {
        ++pos_;
      }
      buffer_ = (buffer_ << 8) | b;
      count_ += 8;
    }
  }
  [[noreturn]] void failAtEnd() const {
    if (pos_ >= size_ || pos_ + 1 >= size_) fail("stream ends inside coded data");
    fail("coded data of a block ends early (marker " + hex4(0xFF00 | data_[pos_ + 1]) + " reached)");
  }

  const unsigned char* data_;
  size_t size_;
  size_t pos_;
  uint64_t buffer_ = 0;
  int count_ = 0;  // bits of buffer_ not yet read, the lowest ones
};

int decodeSymbol(BitReader& reader, const HuffmanDecodeTable& table) {
  const int pattern = reader.peekLookup();
  if (pattern >= 0 && table.lookupLength[pattern] != 0) {
    reader.skip(table.lookupLength[pattern]);
    return table.lookupSymbol[pattern];
  }
  int code = 0;
  for (int length = 1; length <= MAX_HUFFBITS; ++length) {
    code = (code << 1) | reader.bit();
    const int symbol = table.symbolOf(code, length);
    if (symbol >= 0) return symbol;
  }
  fail("invalid Huffman code");
}

class BlockPlacer;

class Parser {
 public:
  Parser(const unsigned char* data, size_t size, const WsqDecodeLimits& limits, bool keepCoefficients)
      : in_(data, size), limits_(limits), keepCoefficients_(keepCoefficients) {}

  void parse();
  void rebuild(WsqImage& image);
  // The pixels written over the start of the working image, which the parser keeps.
  unsigned char* rebuildInPlace();

  WsqStreamInfo info;
  std::vector<std::vector<int>> subbands;

 private:
  void readTransformTable(int length);
  void readQuantizationTable(int length);
  void readHuffmanTables(int length, WsqSegmentInfo& segment);
  void readFrameHeader(int length);
  void readBlock(int length, WsqSegmentInfo& segment);
  void skipToMarker();
  void rebuildPixels(unsigned char* pixels);

  ByteReader in_;
  WsqDecodeLimits limits_;
  bool keepCoefficients_;
  bool haveTransform_ = false, haveQuantization_ = false, haveFrame_ = false;
  std::vector<float> lowHalf_, highHalf_;
  int lowLength_ = 0, highLength_ = 0;
  HuffmanDecodeTable tables_[8] = {};
  WsqTrees trees_;
  // The call's working memory: the image (dequantised coefficients, then the rebuilt pixels as floats),
  // zero from the start, so that coded zeros and subbands no block fills need no writing; and a scratch
  // image for the inverse transform.
  struct FreeFloats {
    void operator()(float* p) const { wsqFree(p); }
  };
  std::unique_ptr<float, FreeFloats> coefficients_, scratch_;
  size_t pixels_ = 0;
  float* coefficientImage() { return coefficients_.get(); }
  float* scratch() { return scratch_.get(); }
  friend class BlockPlacer;
};

// The place of a block's next value: a coded subband of the block (those with Q != 0 and an area), a
// row and a column in it, walked subband after subband, row by row.
class BlockPlacer {
 public:
  BlockPlacer(Parser& parser, int block) : p_(parser) {
    for (int band = BLOCK_FIRST[block]; band < BLOCK_END[block]; ++band) {
      const QuantNode& node = p_.trees_.q_tree[band];
      if (p_.info.q[band] == 0.0f || node.lenx <= 0 || node.leny <= 0) continue;
      bands_[count_++] = band;
      if (p_.keepCoefficients_) p_.subbands[band].assign(static_cast<size_t>(node.lenx) * node.leny, 0);
    }
    enterBand();
  }
  // The value p (not 0) at the place, then the next place. (p - s C) Q + s Z/2 with s the sign of p is
  // the same arithmetic as (p - C) Q + Z/2 above zero and (p + C) Q - Z/2 below, without a branch.
  void value(float p) {
    float* out = rowStart_ + column_;
    const float s = p > 0.0f ? 1.0f : -1.0f;
    *out = (p - s * c_) * q_ + s * halfZ_;
    if (p_.keepCoefficients_) p_.subbands[bands_[index_]][static_cast<size_t>(row_) * lenx_ + column_] = static_cast<int>(p);
    skip(1);
  }
  // Moves the place on by `n` values (zeros: the image already holds them).
  void skip(int n) {
    column_ += n;
    while (index_ < count_ && column_ >= lenx_) {
      column_ -= lenx_;
      if (++row_ == leny_) {
        ++index_;
        enterBand();
      } else {
        rowStart_ += p_.info.width;
      }
    }
  }

 private:
  void enterBand() {
    row_ = 0;
    if (index_ >= count_) return;
    const int band = bands_[index_];
    const QuantNode& node = p_.trees_.q_tree[band];
    lenx_ = node.lenx;
    leny_ = node.leny;
    q_ = p_.info.q[band];
    halfZ_ = p_.info.z[band] / 2.0f;
    c_ = p_.info.binCenter;
    rowStart_ = p_.coefficientImage() + static_cast<size_t>(node.y) * p_.info.width + node.x;
  }

  Parser& p_;
  int bands_[Q_TREELEN];
  int count_ = 0;
  int index_ = 0, row_ = 0, column_ = 0;
  int lenx_ = 0, leny_ = 0;
  float q_ = 0.0f, halfZ_ = 0.0f, c_ = 0.0f;
  float* rowStart_ = nullptr;
};

void Parser::readTransformTable(int length) {
  const size_t end = in_.pos() + static_cast<size_t>(length) - 2;
  const int lowLength = in_.u8("transform table");
  const int highLength = in_.u8("transform table");
  const int lowSent = (lowLength + 1) / 2;
  const int highSent = (highLength + 1) / 2;
  if (length != 4 + 6 * (lowSent + highSent)) fail("transform table length " + std::to_string(length) +
                                                   " does not match filters of " + std::to_string(lowLength) +
                                                   " and " + std::to_string(highLength) + " taps");
  auto readTaps = [&](int count, std::vector<float>& taps) {
    taps.clear();
    for (int i = 0; i < count; ++i) {
      const int sign = in_.u8("transform table");
      const int scale = in_.u8("transform table");
      const uint32_t value = in_.u32("transform table");
      const float tap = unscale(scale, value);
      taps.push_back(sign ? -tap : tap);
    }
  };
  readTaps(lowSent, lowHalf_);
  readTaps(highSent, highHalf_);
  SynthesisFilters check;
  if (!check.build(lowHalf_, lowLength, highHalf_, highLength)) {
    fail("unsupported filter pair of " + std::to_string(lowLength) + " and " + std::to_string(highLength) +
         " taps");
  }
  info.lowPass = check.lowPass();
  info.highPass = check.highPass();
  lowLength_ = lowLength;
  highLength_ = highLength;
  haveTransform_ = true;
  in_.seek(end);
}

void Parser::readQuantizationTable(int length) {
  if (length != 389) fail("quantisation table length " + std::to_string(length) + ", expected 389");
  const int scale = in_.u8("quantisation table");
  const int value = in_.u16("quantisation table");
  info.binCenter = unscale(scale, static_cast<uint32_t>(value));
  for (int band = 0; band < Q_TREELEN; ++band) {
    const int qScale = in_.u8("quantisation table");
    const int qValue = in_.u16("quantisation table");
    const int zScale = in_.u8("quantisation table");
    const int zValue = in_.u16("quantisation table");
    info.q[band] = unscale(qScale, static_cast<uint32_t>(qValue));
    info.z[band] = unscale(zScale, static_cast<uint32_t>(zValue));
  }
  haveQuantization_ = true;
}

void Parser::readHuffmanTables(int length, WsqSegmentInfo& segment) {
  const size_t end = in_.pos() + static_cast<size_t>(length) - 2;
  while (in_.pos() < end) {
    const int id = in_.u8("Huffman table");
    if (id > 7) fail("Huffman table id " + std::to_string(id) + " out of range 0..7");
    int bits[MAX_HUFFBITS + 1] = {};
    int total = 0;
    for (int i = 1; i <= MAX_HUFFBITS; ++i) {
      bits[i] = in_.u8("Huffman table");
      total += bits[i];
    }
    if (total > MAX_HUFFCOUNTS) fail("Huffman table " + std::to_string(id) + " lists more than 256 codes");
    if (in_.pos() + static_cast<size_t>(total) > end) fail("Huffman table " + std::to_string(id) +
                                                            " runs past its segment");
    HuffmanDecodeTable& table = tables_[id];
    table = HuffmanDecodeTable{};
    for (int i = 0; i < total; ++i) table.values[i] = static_cast<unsigned char>(in_.u8("Huffman table"));
    // Canonical codes; a set of lengths that needs more codes than a length can hold is refused.
    int code = 0, k = 0;
    for (int length = 1; length <= MAX_HUFFBITS; ++length) {
      if (bits[length] == 0) {
        table.maxcode[length] = -1;
        table.mincode[length] = 0;
        table.valptr[length] = 0;
      } else {
        if (code + bits[length] > (1 << length)) fail("Huffman table " + std::to_string(id) +
                                                      " has more codes than its lengths allow");
        table.valptr[length] = k;
        table.mincode[length] = code;
        code += bits[length];
        k += bits[length];
        table.maxcode[length] = code - 1;
      }
      code <<= 1;
    }
    table.buildLookup();
    table.defined = true;
    segment.tableIds.push_back(id);
  }
  if (in_.pos() != end) fail("Huffman segment length does not match its tables");
}

void Parser::readFrameHeader(int length) {
  if (haveFrame_) fail("second frame header");
  if (length != 17) fail("frame header length " + std::to_string(length) + ", expected 17");
  info.black = in_.u8("frame header");
  info.white = in_.u8("frame header");
  info.height = in_.u16("frame header");
  info.width = in_.u16("frame header");
  const int mScale = in_.u8("frame header");
  const int mValue = in_.u16("frame header");
  const int rScale = in_.u8("frame header");
  const int rValue = in_.u16("frame header");
  info.m_shift = unscale(mScale, static_cast<uint32_t>(mValue));
  info.r_scale = unscale(rScale, static_cast<uint32_t>(rValue));
  info.encoder = in_.u8("frame header");
  info.software = in_.u16("frame header");
  if (info.width == 0 || info.height == 0) fail("frame of " + std::to_string(info.width) + " x " +
                                                std::to_string(info.height) + " pixels");
  const size_t pixels = static_cast<size_t>(info.width) * static_cast<size_t>(info.height);
  if (pixels > limits_.maxPixels) fail("frame of " + std::to_string(info.width) + " x " +
                                       std::to_string(info.height) + " pixels is larger than allowed");
  trees_ = build_wsq_trees(info.width, info.height);
  coefficients_.reset(static_cast<float*>(wsqAllocate(pixels * sizeof(float), 0)));
  scratch_.reset(static_cast<float*>(wsqAllocateUninitialised(pixels * sizeof(float), 0)));
  if (!coefficients_ || !scratch_) throw std::bad_alloc();
  pixels_ = pixels;
  if (keepCoefficients_) subbands.assign(NUM_SUBBANDS, {});
  haveFrame_ = true;
}

void Parser::readBlock(int length, WsqSegmentInfo& segment) {
  if (length != 3) fail("block header length " + std::to_string(length) + ", expected 3");
  const int id = in_.u8("block header");
  segment.tableIds.push_back(id);
  const int block = static_cast<int>(info.blocks.size());
  if (!haveFrame_) fail("block before the frame header");
  if (!haveQuantization_) fail("block before the quantisation table");
  if (block >= NUM_BLOCKS) fail("more than three blocks");
  if (id > 7) fail("block names Huffman table " + std::to_string(id) + ", out of range 0..7");

  // Where the block's values go: its coded subbands in order, each row by row.
  int count = 0;
  for (int band = BLOCK_FIRST[block]; band < BLOCK_END[block]; ++band) {
    if (info.q[band] != 0.0f) count += trees_.q_tree[band].lenx * trees_.q_tree[band].leny;
  }
  WsqBlockInfo blockInfo;
  blockInfo.tableId = id;
  blockInfo.coefficients = count;
  const size_t start = in_.pos();
  // Each value goes straight to its place in the coefficient image (which starts all zero, so zero runs
  // only move the place on), dequantised: (p - C) Q + Z/2 above zero, its mirror below.
  BlockPlacer place(*this, block);
  if (count > 0) {
    const HuffmanDecodeTable& table = tables_[id];
    if (!table.defined) fail("block " + std::to_string(block + 1) + " names undefined Huffman table " +
                             std::to_string(id));
    BitReader reader(in_.data(), in_.size(), in_.pos());
    int filled = 0;
    while (filled < count) {
      while (reader.takeRestart()) {
      }
      const int symbol = decodeSymbol(reader, table);
      int run = 0;
      if (symbol >= 1 && symbol <= 100) {
        run = symbol;
      } else if (symbol == 105) {
        run = static_cast<int>(reader.bits(8));
      } else if (symbol == 106) {
        run = static_cast<int>(reader.bits(16));
      } else if (symbol == 101) {
        place.value(static_cast<float>(reader.bits(8)));
      } else if (symbol == 102) {
        place.value(-static_cast<float>(reader.bits(8)));
      } else if (symbol == 103) {
        place.value(static_cast<float>(reader.bits(16)));
      } else if (symbol == 104) {
        place.value(-static_cast<float>(reader.bits(16)));
      } else if (symbol >= 107 && symbol <= 254 && symbol != 180) {
        place.value(static_cast<float>(symbol - 180));
      } else {
        fail("invalid symbol " + std::to_string(symbol) + " in block " + std::to_string(block + 1));
      }
      if (run > 0) {
        if (run > count - filled) fail("zero run of " + std::to_string(run) + " passes the end of block " +
                                       std::to_string(block + 1));
        place.skip(run);
        filled += run;
      } else {
        ++filled;
      }
    }
    in_.seek(reader.pos());
  }
  skipToMarker();
  blockInfo.codedBytes = in_.pos() - start;
  info.blocks.push_back(blockInfo);
}

// After a block's values: what is left before the next marker is padding (and restart markers).
void Parser::skipToMarker() {
  const unsigned char* d = in_.data();
  size_t pos = in_.pos();
  while (pos + 1 < in_.size()) {
    if (d[pos] == 0xFF && d[pos + 1] != 0x00 && !(d[pos + 1] >= 0xB0 && d[pos + 1] <= 0xB7)) break;
    ++pos;
  }
  if (pos + 1 >= in_.size()) fail("stream ends after block " + std::to_string(info.blocks.size() + 1) +
                                  " without an end of image");
  in_.seek(pos);
}

void Parser::parse() {
  if (in_.size() < 2 || in_.u16("start of image") != SOI_WSQ) fail("not a WSQ stream (no start of image)");
  info.segments.push_back({SOI_WSQ, 0, 0, {}});
  for (;;) {
    const size_t at = in_.pos();
    int marker = in_.u16("marker");
    // Fill bytes 0xFF before a marker are allowed.
    while (marker == 0xFFFF) marker = 0xFF00 | in_.u8("marker");
    if ((marker & 0xFF00) != 0xFF00) fail("expected a marker at byte " + std::to_string(at) + ", found " +
                                          hex4(marker));
    if (marker == EOI_WSQ) {
      info.segments.push_back({EOI_WSQ, at, 0, {}});
      break;
    }
    if (marker < DTT_WSQ - 2 || marker > COM_WSQ || marker == SOI_WSQ) {
      fail("unexpected marker " + hex4(marker) + " at byte " + std::to_string(at));
    }
    const int length = in_.u16("segment length");
    if (length < 2) fail("segment " + hex4(marker) + " with length " + std::to_string(length));
    in_.need(static_cast<size_t>(length) - 2, "a segment");
    WsqSegmentInfo segment{marker, at, length, {}};
    const size_t end = in_.pos() + static_cast<size_t>(length) - 2;
    switch (marker) {
      case DTT_WSQ: readTransformTable(length); break;
      case DQT_WSQ: readQuantizationTable(length); break;
      case DHT_WSQ: readHuffmanTables(length, segment); break;
      case SOF_WSQ: readFrameHeader(length); break;
      case DRT_WSQ:
        if (length != 4) fail("restart interval length " + std::to_string(length) + ", expected 4");
        info.restartInterval = in_.u16("restart interval");
        break;
      case COM_WSQ: in_.seek(end); break;
      case SOB_WSQ: break;
      default: fail("unexpected marker " + hex4(marker));
    }
    if (marker == SOB_WSQ) {
      info.segments.push_back(segment);
      readBlock(length, info.segments.back());
      continue;
    }
    if (in_.pos() != end) fail("segment " + hex4(marker) + " length does not match its content");
    info.segments.push_back(segment);
  }
  if (!haveFrame_) fail("no frame header");
  if (info.blocks.size() != NUM_BLOCKS) fail("stream holds " + std::to_string(info.blocks.size()) +
                                             " blocks, expected 3");
  if (!haveTransform_) fail("no transform table");
}

void Parser::rebuild(WsqImage& image) {
  image.width = info.width;
  image.height = info.height;
  image.pixels.resize(pixels_);
  rebuildPixels(image.pixels.data());
}

unsigned char* Parser::rebuildInPlace() {
  unsigned char* pixels = reinterpret_cast<unsigned char*>(coefficientImage());
  rebuildPixels(pixels);
  return pixels;
}

void Parser::rebuildPixels(unsigned char* pixels) {
  SynthesisFilters filters;
  filters.build(lowHalf_, lowLength_, highHalf_, highLength_);
  wsq_reconstruct(coefficientImage(), scratch(), info.width, info.height, trees_, filters);
  // Pixel i is written after float i is read, and byte i lies in float i / 4 or earlier: `pixels` may be
  // the floats' own memory.
  const float scale = info.r_scale, shift = info.m_shift;
  const float* coefficients = coefficientImage();
  size_t i = 0;
#if WSQ_HAVE_SSE2
  // The same three operations lane by lane. Clipping: 255 first (NaN stays NaN), then truncation, whose
  // result for NaN and for values below 1 the saturating packs turn into 0.
  const __m128 vScale = _mm_set1_ps(scale), vShift = _mm_set1_ps(shift), half = _mm_set1_ps(0.5f);
  const __m128 top = _mm_set1_ps(255.0f);
  for (; i + 16 <= pixels_; i += 16) {
    __m128i ints[4];
    for (int h = 0; h < 4; ++h) {
      const __m128 x = _mm_loadu_ps(coefficients + i + 4 * h);
      const __m128 v = _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, vScale), vShift), half);
      ints[h] = _mm_cvttps_epi32(_mm_min_ps(top, v));
    }
    const __m128i words = _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), words);
  }
#endif
  for (; i < pixels_; ++i) {
    // floor(v + 0.5) clipped to 0..255, NaN to 0: for v + 0.5 in [1, 255) the floor is the truncation.
    const float v = (coefficients[i] * scale + shift) + 0.5f;
    pixels[i] = v >= 255.0f ? 255 : (v >= 1.0f ? static_cast<unsigned char>(static_cast<int>(v)) : 0);
  }
}

}  // namespace

namespace {

// Parses the stream and hands the parser to `take`; a malformed stream or a failed allocation becomes
// the error text and false.
template <class Take>
bool parseWith(const unsigned char* data, size_t size, const WsqDecodeLimits& limits, bool keepSubbands,
               std::string& error, Take take) {
  try {
    Parser parser(data, size, limits, keepSubbands);
    parser.parse();
    take(parser);
    return true;
  } catch (const DecodeError& e) {
    error = e.what();
  } catch (const std::bad_alloc&) {
    error = "out of memory";
  }
  return false;
}

}  // namespace

bool decodeWsqWithInfo(const unsigned char* data, size_t size, WsqImage& image, WsqStreamInfo& info,
                       std::string& error, const WsqDecodeLimits& limits) {
  return parseWith(data, size, limits, false, error, [&](Parser& parser) {
    parser.rebuild(image);
    info = std::move(parser.info);
  });
}

bool decodeWsq(const unsigned char* data, size_t size, WsqImage& image, std::string& error,
               const WsqDecodeLimits& limits) {
  WsqStreamInfo info;
  return decodeWsqWithInfo(data, size, image, info, error, limits);
}

bool decodeWsqPixels(const unsigned char* data, size_t size,
                     const std::function<void(int width, int height, const unsigned char* pixels)>& take,
                     std::string& error, const WsqDecodeLimits& limits) {
  return parseWith(data, size, limits, false, error, [&](Parser& parser) {
    const unsigned char* pixels = parser.rebuildInPlace();
    take(parser.info.width, parser.info.height, pixels);
  });
}

bool inspectWsq(const unsigned char* data, size_t size, WsqStreamInfo& info, std::string& error,
                const WsqDecodeLimits& limits) {
  return parseWith(data, size, limits, false, error, [&](Parser& parser) { info = std::move(parser.info); });
}

bool readWsqCoefficients(const unsigned char* data, size_t size, std::vector<std::vector<int>>& subbands,
                         std::string& error, const WsqDecodeLimits& limits) {
  return parseWith(data, size, limits, true, error,
                   [&](Parser& parser) { subbands = std::move(parser.subbands); });
}

}  // namespace wsq
