#include "json_result_win.h"

#include <atomic>
#include <exception>

#include "basen.h"
#include "host_log.h"
#include "image_encoder_win.h"
#include "json_line.h"

namespace {
std::atomic<ImageEncoder> imageEncoder{&encodeImage};
}

ImageEncoder setImageEncoder(ImageEncoder encoder) noexcept { return imageEncoder.exchange(encoder); }

std::string jsonFromOutput(const biodeviceOutput& output, const std::string& exitCode, std::string& json) noexcept {
  try {
    std::string wsq64;
    base64Encode(output.wsq.data(), output.wsq.size(), wsq64);
    const std::vector<std::uint8_t> charBmp = output.bmp;
    const std::vector<std::uint8_t> jpg = imageEncoder.load()(charBmp, L"image/jpeg");
    std::string jpg64;
    base64Encode(jpg.data(), jpg.size(), jpg64);
    const std::string error;
    const std::string solution;
    json = makeJsonLine(wsq64, jpg64, exitCode, error, solution);
    return {};
  } catch (const std::exception& e) {
    hostLog(LOG_WARN, std::string("error json to string: ") + e.what());
    try {
      return e.what()[0] != '\0' ? e.what() : "unknown fault";
    } catch (...) {
      return "unknown fault";
    }
  }
}
