#include "delivery_check.h"

#include <stdexcept>

#include "bmp_check.h"
#include "wsq_stream_check.h"

std::string deliveryFault(const std::vector<std::uint8_t>& wsq, const std::vector<std::uint8_t>& bmp) {
  const wsq::WsqCheckResult check = wsq::checkWsqStream(wsq.data(), wsq.size());
  if (!check.whole) return "response is not a whole WSQ: " + check.fault;
  try {
    checkBmp(bmp.data(), bmp.size());
  } catch (const std::runtime_error& e) {
    return std::string("image is not a whole BMP: ") + e.what() + " (" + std::to_string(bmp.size()) + " bytes)";
  }
  return {};
}
