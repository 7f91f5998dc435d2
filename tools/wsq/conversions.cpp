// conversions.cpp: encoding pixels into a WSQ file and decoding a WSQ file into a picture file.
#include "conversions.h"

#include <algorithm>
#include <exception>

#include "file_bytes.h"
#include "wsq_decoder.h"
#include "wsq_encoder_params.h"

namespace wsq_tool {

bool encodeToFile(const unsigned char* pixels, size_t size, int width, int height, float bitRate,
                  const std::string& outPath, size_t& streamBytes, std::string& error) {
  std::vector<unsigned char> stream;
  try {
    wsq::encodeWsqPixels(pixels, size, width, height, 8, 500, bitRate, stream);
  } catch (const std::exception& e) {
    error = e.what();
    // The encoder scales by the pixels' spread, which a uniform image does not have: say so.
    if (size > 0 && std::all_of(pixels, pixels + size, [&](unsigned char v) { return v == pixels[0]; })) {
      error = "the image is uniform (every pixel is " + std::to_string(pixels[0]) +
              "): there is no contrast to encode (" + error + ")";
    }
    return false;
  }
  if (!writeFileBytes(outPath, stream, error)) return false;
  streamBytes = stream.size();
  return true;
}

bool decodeToFile(const std::string& inPath, ImageFormat format, const std::string& outPath, int& width,
                  int& height, std::string& error) {
  std::vector<unsigned char> data;
  if (!readFileBytes(inPath, data, error)) return false;
  // Every frame this program encodes decodes too (the default limit guards the capture path against a
  // forged frame header; here the person chose the file).
  wsq::WsqDecodeLimits limits;
  limits.maxPixels = static_cast<size_t>(wsq::kMaxEncodedPixels);
  bool written = false;
  const bool decoded = wsq::decodeWsqPixels(
      data.data(), data.size(),
      [&](int w, int h, const unsigned char* pixels) {
        std::vector<unsigned char> header;
        written = writeFileRuns(outPath, imageFileRuns(format, w, h, pixels, header), error);
        width = w;
        height = h;
      },
      error, limits);
  if (!decoded) {
    error = inPath + ": " + error;
    return false;
  }
  if (!written) return false;
  return true;
}

}  // namespace wsq_tool
