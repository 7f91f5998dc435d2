// wsq_stream_check.h: is a byte string one whole WSQ file? The test the host applies to a response and
// velmar-capture-b to its converter's file before either is taken as a capture. Pure; any thread.
//
// The structure is walked without decoding: start of image first, the end of image as the last two
// bytes, every segment length inside the stream, one frame header with a sane size, the transform and
// quantisation tables, three blocks each naming a Huffman table defined before it and each with coded
// data that ends at a marker. Then, unless turned off, the stream is decoded in full: that is what
// proves every block holds all of its coefficients (a stream cut inside a block's coded data and
// followed by an end of image passes the walk but not the decode).
#pragma once

#include <cstddef>
#include <string>

namespace wsq {

struct WsqCheckOptions {
  bool decode = true;                  // decode the whole stream after the walk
  size_t maxPixels = size_t{1} << 24;  // a larger frame is not a sane capture (and is not decoded)
};

struct WsqCheckResult {
  bool whole = false;
  std::string fault;  // what is wrong, empty when whole
  int width = 0;      // from the frame header, when one was read
  int height = 0;
  int blocks = 0;     // blocks seen by the walk
  bool decoded = false;  // the full decode ran and succeeded
};

WsqCheckResult checkWsqStream(const unsigned char* data, size_t size, const WsqCheckOptions& options = {});

}  // namespace wsq
