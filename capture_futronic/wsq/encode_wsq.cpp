// encode_wsq.cpp: fills the encoder's record for a capture and turns its exceptions into a log line.
#include "encode_wsq.h"

#include <exception>
#include <string>
#include <utility>

#include "simple_logger.h"
#include "wsq_encoder_params.h"

namespace wsq {
namespace {

// The encoder's texts are ASCII; each byte becomes one wide character.
std::wstring widen(const char* text) {
  std::wstring out;
  for (const char* p = text; *p != '\0'; ++p) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
  return out;
}

}  // namespace

bool encodeWsq(const WsqSourceImage& image, std::vector<unsigned char>& wsq, SimpleLogger::Log* log) {
  try {
    wsqEncoderParams params;
    if (image.pixels != nullptr) params.image.assign(image.pixels, image.pixels + image.size);
    params.width = image.width;
    params.height = image.height;
    params.depth = 8;
    params.ppi = 500;
    params.bitRate = 1.0f;
    params.comment.clear();
    params.encode();
    wsq = std::move(params.output);
    return true;
  } catch (const std::exception& e) {
    if (log != nullptr) log->write(5, nullptr, nullptr, 0, L"%ls", widen(e.what()).c_str());
    return false;
  }
}

}  // namespace wsq
