// conversions.cpp: encoding pixels into a WSQ file and decoding a WSQ file into a picture file.
#include "conversions.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "file_bytes.h"
#include "wsq_decoder.h"
#include "wsq_encoder_params.h"

namespace wsq_tool {

bool encodeToFile(std::vector<unsigned char>&& pixels, int width, int height, float bitRate,
                  const std::string& outPath, size_t& streamBytes, std::string& error) {
  wsq::wsqEncoderParams params;
  params.image = std::move(pixels);
  params.width = width;
  params.height = height;
  params.depth = 8;
  params.ppi = 500;
  params.bitRate = bitRate;
  try {
    params.encode();
  } catch (const std::exception& e) {
    error = e.what();
    // The encoder scales by the pixels' spread, which a uniform image does not have: say so.
    const std::vector<unsigned char>& image = params.image;
    if (!image.empty() && std::all_of(image.begin(), image.end(), [&](unsigned char v) { return v == image[0]; })) {
      error = "the image is uniform (every pixel is " + std::to_string(image[0]) +
              "): there is no contrast to encode (" + error + ")";
    }
    return false;
  }
  if (!writeFileBytes(outPath, params.output, error)) return false;
  streamBytes = params.output.size();
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
  wsq::WsqImage image;
  if (!wsq::decodeWsq(data.data(), data.size(), image, error, limits)) {
    error = inPath + ": " + error;
    return false;
  }
  std::vector<unsigned char> header;
  if (!writeFileRuns(outPath, imageFileRuns(format, image.width, image.height, image.pixels, header), error)) {
    return false;
  }
  width = image.width;
  height = image.height;
  return true;
}

}  // namespace wsq_tool
