// The host's rule for a whole capture: a whole WSQ and a valid BMP; anything cut short is named.
#include "delivery_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_bmp.h"
#include "wsq_test_stream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(DeliveryCheck, WholeWsqAndBmpOrTheFault) {
  const std::vector<unsigned char> stream = wsq::testing::syntheticWsq(64, 48);
  const Bytes wsq(stream.begin(), stream.end());
  const Bytes bmp = testbmp::make(20, 10, [](int x, int y) { return static_cast<std::uint8_t>(x * 10 + y); });
  struct Case {
    const char* name;
    Bytes wsq, bmp;
    const char* fault;
  } cases[] = {
      {"whole", wsq, bmp, ""},
      {"half a WSQ", Bytes(wsq.begin(), wsq.begin() + wsq.size() / 2), bmp,
       "response is not a whole WSQ: the last two bytes are not the end of image"},
      {"two bytes", Bytes{0xFF, 0xA0}, bmp, "response is not a whole WSQ: the last two bytes are not the end of image"},
      {"BMP cut short", wsq, Bytes(bmp.begin(), bmp.end() - 1), "image is not a whole BMP: invalid bmp file"},
      {"no BMP", wsq, Bytes{}, "image is not a whole BMP: invalid bmp file (0 bytes)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(deliveryFault(c.wsq, c.bmp).rfind(c.fault, 0), 0u) << deliveryFault(c.wsq, c.bmp);
    if (*c.fault == '\0') {
      EXPECT_EQ(deliveryFault(c.wsq, c.bmp), "");
    }
  }
}

}  // namespace
