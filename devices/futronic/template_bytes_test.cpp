// template_bytes_test.cpp: the virtual template is deterministic, sized as asked and follows the frame.
#include "template_bytes.h"

#include <gtest/gtest.h>

namespace velmar::futronic {
namespace {

TEST(TemplateBytes, SameFrameSameBytesOtherFrameOtherBytes) {
  std::vector<std::uint8_t> frame(1000, 200), other(1000, 200);
  other[500] = 10;
  const auto a = makeTemplate(frame.data(), frame.size(), 384);
  EXPECT_EQ(a.size(), 384u);
  EXPECT_EQ(a, makeTemplate(frame.data(), frame.size(), 384));
  EXPECT_NE(a, makeTemplate(other.data(), other.size(), 384));
  EXPECT_EQ(std::vector<std::uint8_t>(a.begin(), a.begin() + 4), (std::vector<std::uint8_t>{'F', 'M', 'R', 0}));
  EXPECT_EQ(makeTemplate(frame.data(), frame.size(), 2).size(), 2u);
}

}  // namespace
}  // namespace velmar::futronic
