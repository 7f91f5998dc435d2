// encode_wsq.h: the capture processing's call into the WSQ encoder: the normalised finger image at
// 8 bits, 500 pixels per inch and 1.0 bit per pixel. Any thread.
#pragma once

#include <cstddef>
#include <vector>

namespace SimpleLogger {
class Log;
}

namespace wsq {

// The grey image to encode: width x height bytes, rows from the top.
struct WsqSourceImage {
  const unsigned char* pixels = nullptr;
  std::size_t size = 0;
  int width = 0;
  int height = 0;
};

// Encodes `image` into `wsq` (replaced on success, untouched on failure). Any failure of the encoder is
// caught: its text goes to the capture application's log at level 5 (nothing when `log` is null) and
// the result is false.
bool encodeWsq(const WsqSourceImage& image, std::vector<unsigned char>& wsq, SimpleLogger::Log* log);

}  // namespace wsq
