// ImageMagick reads our BMP back to the same pixels (native only: it runs /usr/bin/convert).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "image_writers.h"
#include "testing/temp_dir.h"

namespace segmentation {
namespace {

TEST(ToBmpImageMagick, ReadsBackTheSamePixels) {
  const struct { int w, h; } sizes[] = {{512, 512}, {357, 392}};
  for (const auto& s : sizes) {
    velmar::testing::TempDir dir;
    GrayImage image(s.w, s.h);
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x) image.at(x, y) = static_cast<uint8_t>((x * 3 + y * 5) & 0xFF);
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(toBmp(image, bmp));
    {
      std::ofstream out(dir / "i.bmp", std::ios::binary);
      out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    }
    const std::string command = std::string(VELMAR_CONVERT) + " " + (dir / "i.bmp").string() +
                                " -depth 8 gray:" + (dir / "i.gray").string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(velmar::testing::readBytes(dir / "i.gray"),
              std::string(image.data.begin(), image.data.end()))
        << s.w << "x" << s.h;
  }
}

}  // namespace
}  // namespace segmentation
