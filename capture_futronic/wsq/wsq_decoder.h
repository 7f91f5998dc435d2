// wsq_decoder.h: decodes any WSQ stream the standard allows (any segment order, several tables per
// Huffman segment, restart markers, odd- and even-length filters) and rejects a malformed one with an
// error text, never a crash. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wsq {

struct WsqSegmentInfo {
  int marker = 0;       // 0xFFA0..0xFFA8
  size_t offset = 0;    // of the marker in the stream
  int length = 0;       // length field (0 for markers without one)
  std::vector<int> tableIds;  // Huffman table ids of a DHT, the table id of an SOB
};

struct WsqBlockInfo {
  int tableId = 0;
  int coefficients = 0;  // quantised values the block carries
  size_t codedBytes = 0;  // entropy-coded bytes, stuffing and restart markers included
};

struct WsqStreamInfo {
  std::vector<WsqSegmentInfo> segments;
  int black = 0, white = 0;
  int width = 0, height = 0;
  float m_shift = 0.0f, r_scale = 0.0f;
  int encoder = 0, software = 0;
  float binCenter = 0.0f;
  float q[64] = {};
  float z[64] = {};
  std::vector<float> lowPass;   // analysis filters rebuilt from the transform table, all taps
  std::vector<float> highPass;
  int restartInterval = 0;
  std::vector<WsqBlockInfo> blocks;
};

struct WsqDecodeLimits {
  size_t maxPixels = size_t{1} << 26;  // larger frames are refused before anything is allocated
};

struct WsqImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // rows from the top
};

// Decodes `size` bytes. Returns false with `error` set for a malformed or unsupported stream.
bool decodeWsq(const unsigned char* data, size_t size, WsqImage& image, std::string& error,
               const WsqDecodeLimits& limits = {});

// Decodes `size` bytes and hands the picture (rows from the top) to `take` where the decoder made it, in
// its working memory, which is released when `take` returns: no copy of the picture is made.
bool decodeWsqPixels(const unsigned char* data, size_t size,
                     const std::function<void(int width, int height, const unsigned char* pixels)>& take,
                     std::string& error, const WsqDecodeLimits& limits = {});

// Reads every segment and entropy-decodes the blocks (so block sizes are known) without rebuilding
// the image.
bool inspectWsq(const unsigned char* data, size_t size, WsqStreamInfo& info, std::string& error,
                const WsqDecodeLimits& limits = {});

// Both at once: the stream's description and its image.
bool decodeWsqWithInfo(const unsigned char* data, size_t size, WsqImage& image, WsqStreamInfo& info,
                       std::string& error, const WsqDecodeLimits& limits = {});

// Quantised values of every coded subband, by subband then row by row, as decoded (for comparing the
// bin indices of two streams).
bool readWsqCoefficients(const unsigned char* data, size_t size, std::vector<std::vector<int>>& subbands,
                         std::string& error, const WsqDecodeLimits& limits = {});

}  // namespace wsq
