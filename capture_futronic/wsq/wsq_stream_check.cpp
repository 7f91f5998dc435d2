// wsq_stream_check.cpp: the structural walk over a WSQ stream, then (optionally) the full decode.
#include "wsq_stream_check.h"

#include <cstdint>
#include <exception>

#include "wsq_decoder.h"
#include "wsq_format.h"

namespace wsq {
namespace {

std::string hex4(int v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) s.push_back(digits[(v >> shift) & 0xF]);
  return s;
}

std::string at(size_t pos) { return " at byte " + std::to_string(pos); }

const char* segmentName(int marker) {
  switch (marker) {
    case SOF_WSQ: return "frame header";
    case SOB_WSQ: return "block header";
    case DTT_WSQ: return "transform table";
    case DQT_WSQ: return "quantisation table";
    case DHT_WSQ: return "Huffman table segment";
    case DRT_WSQ: return "restart interval";
    case COM_WSQ: return "comment";
    default: return "segment";
  }
}

class Walk {
 public:
  Walk(const unsigned char* data, size_t size, const WsqCheckOptions& options, WsqCheckResult& result)
      : d_(data), size_(size), options_(options), r_(result) {}

  // Empty when the structure is whole, else the first fault in stream order.
  std::string run();

 private:
  int u16(size_t pos) const { return (d_[pos] << 8) | d_[pos + 1]; }
  std::string frame(size_t body, int length);
  std::string transform(size_t body, int length);
  std::string huffman(size_t body, int length);
  std::string block(size_t body, int length, size_t& next);

  const unsigned char* d_;
  size_t size_;
  const WsqCheckOptions& options_;
  WsqCheckResult& r_;
  bool frame_ = false, transform_ = false, quantisation_ = false;
  bool tables_[8] = {};
};

std::string Walk::frame(size_t body, int length) {
  if (frame_) return "second frame header" + at(body - 4);
  if (length != 17) return "frame header length " + std::to_string(length) + ", expected 17";
  r_.height = u16(body + 2);
  r_.width = u16(body + 4);
  const size_t pixels = static_cast<size_t>(r_.width) * static_cast<size_t>(r_.height);
  if (pixels == 0 || pixels > options_.maxPixels) {
    return "frame of " + std::to_string(r_.width) + " x " + std::to_string(r_.height) + " pixels";
  }
  frame_ = true;
  return {};
}

std::string Walk::transform(size_t body, int length) {
  if (length < 4) return "transform table length " + std::to_string(length);
  const int lowSent = (d_[body] + 1) / 2;
  const int highSent = (d_[body + 1] + 1) / 2;
  if (length != 4 + 6 * (lowSent + highSent)) {
    return "transform table length " + std::to_string(length) + " does not match its filters";
  }
  transform_ = true;
  return {};
}

std::string Walk::huffman(size_t body, int length) {
  const size_t end = body + static_cast<size_t>(length) - 2;
  size_t pos = body;
  if (pos == end) return "empty Huffman table segment" + at(body - 4);
  while (pos < end) {
    if (end - pos < 17) return "Huffman table" + at(pos) + " runs past its segment";
    const int id = d_[pos];
    if (id > 7) return "Huffman table id " + std::to_string(id) + at(pos);
    size_t count = 0;
    for (int i = 1; i <= MAX_HUFFBITS; ++i) count += d_[pos + static_cast<size_t>(i)];
    pos += 17;
    if (count > MAX_HUFFCOUNTS || count > end - pos) {
      return "Huffman table " + std::to_string(id) + at(pos - 17) + " runs past its segment";
    }
    pos += count;
    tables_[id] = true;
  }
  return {};
}

// A block header, then its coded data up to the next marker (0xFF followed by neither the stuffed 0x00
// nor a restart code). `next` gets the marker's position.
std::string Walk::block(size_t body, int length, size_t& next) {
  const int number = r_.blocks + 1;
  if (length != 3) return "block header length " + std::to_string(length) + ", expected 3";
  if (!frame_) return "block " + std::to_string(number) + " before the frame header";
  if (!transform_ || !quantisation_) return "block " + std::to_string(number) + " before the transform and quantisation tables";
  if (number > NUM_BLOCKS) return "more than " + std::to_string(NUM_BLOCKS) + " blocks";
  const int id = d_[body];
  if (id > 7 || !tables_[id]) {
    return "block " + std::to_string(number) + " names Huffman table " + std::to_string(id) + ", not defined before it";
  }
  size_t pos = body + 1;
  // The end of image is known to be the last two bytes, so the scan below always stops inside the stream.
  while (!(d_[pos] == 0xFF && d_[pos + 1] != 0x00 && (d_[pos + 1] < 0xB0 || d_[pos + 1] > 0xB7))) ++pos;
  r_.blocks = number;
  next = pos;
  return {};
}

std::string Walk::run() {
  if (size_ < 2 || u16(0) != SOI_WSQ) return "no start of image";
  if (size_ < 4 || u16(size_ - 2) != EOI_WSQ) return "the last two bytes are not the end of image";
  size_t pos = 2;
  for (;;) {
    // 0xFF fill bytes may stand before a marker.
    while (pos + 2 < size_ && d_[pos] == 0xFF && d_[pos + 1] == 0xFF) ++pos;
    if (pos + 2 > size_) return "stream ends without an end of image";
    const int marker = u16(pos);
    if (marker == EOI_WSQ) {
      if (pos + 2 != size_) return std::to_string(size_ - pos - 2) + " bytes after the end of image" + at(pos);
      break;
    }
    if (marker < SOF_WSQ || marker > COM_WSQ) return "unexpected marker " + hex4(marker) + at(pos);
    if (size_ - pos < 4) return std::string(segmentName(marker)) + at(pos) + " cut short";
    const int length = u16(pos + 2);
    if (length < 2 || static_cast<size_t>(length) > size_ - pos - 2) {
      return std::string(segmentName(marker)) + at(pos) + " of length " + std::to_string(length) +
             " does not fit in the stream";
    }
    const size_t body = pos + 4;
    std::string fault;
    size_t next = body + static_cast<size_t>(length) - 2;
    switch (marker) {
      case SOF_WSQ: fault = frame(body, length); break;
      case DTT_WSQ: fault = transform(body, length); break;
      case DQT_WSQ:
        if (length != 389) fault = "quantisation table length " + std::to_string(length) + ", expected 389";
        quantisation_ = true;
        break;
      case DHT_WSQ: fault = huffman(body, length); break;
      case DRT_WSQ:
        if (length != 4) fault = "restart interval length " + std::to_string(length) + ", expected 4";
        break;
      case SOB_WSQ: fault = block(body, length, next); break;
      default: break;  // a comment
    }
    if (!fault.empty()) return fault;
    pos = next;
  }
  if (!frame_) return "no frame header";
  if (r_.blocks != NUM_BLOCKS) {
    return std::to_string(r_.blocks) + " blocks, expected " + std::to_string(NUM_BLOCKS);
  }
  return {};
}

}  // namespace

WsqCheckResult checkWsqStream(const unsigned char* data, size_t size, const WsqCheckOptions& options) {
  WsqCheckResult result;
  if (data == nullptr) size = 0;
  result.fault = Walk(data, size, options, result).run();
  if (result.fault.empty() && options.decode) {
    try {
      WsqImage image;
      std::string error;
      WsqDecodeLimits limits;
      limits.maxPixels = options.maxPixels;
      if (decodeWsq(data, size, image, error, limits)) result.decoded = true;
      else result.fault = "does not decode: " + error;
    } catch (const std::exception& e) {
      result.fault = std::string("does not decode: ") + e.what();
    }
  }
  result.whole = result.fault.empty();
  return result;
}

}  // namespace wsq
