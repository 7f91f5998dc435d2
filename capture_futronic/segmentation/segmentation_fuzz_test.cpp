// Seeded random frames and settings against the segmentation's public functions, natively under the
// sanitizers: odd and degenerate sizes, buffers that do not match their size, contents from blank to
// noise and many small regions, settings outside their usual ranges.
#include <gtest/gtest.h>

#include "segmentation.h"
#include "testing/fuzz_run.h"

namespace segmentation {
namespace {

using velmar::testing::FuzzRun;

// Collects nothing; formats every line, so the log's arguments are exercised too.
struct FormattingLog : SegmentationLog {
  void vdebug(const wchar_t* format, va_list args) override { format_(format, args); }
  void verror(const wchar_t* format, va_list args) override { format_(format, args); }
  static void format_(const wchar_t* format, va_list args) {
    wchar_t line[512];
    vswprintf(line, 512, format, args);
  }
};

GrayImage randomFrame(FuzzRun& run) {
  const std::vector<int32_t> sides = {0, 1, 2, 3, 5, 8, 31, 64, 97, 128};
  const int32_t w = run.below(3) == 0 ? run.pick(sides) : 1 + static_cast<int32_t>(run.below(160));
  const int32_t h = run.below(3) == 0 ? run.pick(sides) : 1 + static_cast<int32_t>(run.below(160));
  GrayImage frame(w, h, 255);
  switch (run.below(6)) {
    case 0:  // noise
      for (uint8_t& p : frame.data) p = static_cast<uint8_t>(run.rng()());
      break;
    case 1:  // one constant grey
      std::fill(frame.data.begin(), frame.data.end(), static_cast<uint8_t>(run.below(256)));
      break;
    case 2:  // a checkerboard of single pixels: as many regions as pixels allow
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) frame.at(x, y) = (x + y) % 2 ? 0 : 255;
      break;
    default: {  // one to three dark ellipses, some touching or crossing the edges
      for (uint32_t n = 1 + run.below(3); n > 0; --n) {
        const int32_t cx = static_cast<int32_t>(run.below(static_cast<uint32_t>(w + 1)));
        const int32_t cy = static_cast<int32_t>(run.below(static_cast<uint32_t>(h + 1)));
        const int32_t rx = 1 + static_cast<int32_t>(run.below(static_cast<uint32_t>(w / 2 + 2)));
        const int32_t ry = 1 + static_cast<int32_t>(run.below(static_cast<uint32_t>(h / 2 + 2)));
        for (int32_t y = 0; y < h; ++y)
          for (int32_t x = 0; x < w; ++x) {
            const double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) frame.at(x, y) = static_cast<uint8_t>(run.below(120));
          }
      }
      break;
    }
  }
  // Now and then a buffer that does not match the stated size, or more than one channel.
  switch (run.below(16)) {
    case 0: frame.data.resize(frame.data.size() / 2); break;
    case 1: frame.data.push_back(0); break;
    case 2: frame.channels = 3; break;
    case 3: frame.width = -frame.width; break;
    default: break;
  }
  return frame;
}

SegmentationParams randomParams(FuzzRun& run, const GrayImage& frame) {
  SegmentationParams p;
  p.threshold = run.pick(std::vector<int32_t>{-1, 0, 1, 128, 210, 255, 256, 100000});
  p.fill = run.pick(std::vector<int32_t>{-5, 0, 128, 255, 256, 511});
  p.erosionPasses = run.pick(std::vector<int32_t>{-1, 0, 1, 1, 2, 4});
  p.dilationPasses = run.pick(std::vector<int32_t>{-1, 0, 1, 2, 2, 5});
  p.maxRegions = run.pick(std::vector<int32_t>{-1, 0, 1, 2, 64, 64, 300});
  p.frameWidth = run.below(2) ? frame.width : static_cast<int32_t>(run.below(400)) - 50;
  p.frameHeight = run.below(2) ? frame.height : static_cast<int32_t>(run.below(400)) - 50;
  p.minFingerArea = run.pick(std::vector<int32_t>{-1, 0, 1, 50, 500, 30000});
  p.outputWidth = run.pick(std::vector<int32_t>{-1, 0, 1, 17, 64, 512});
  p.outputHeight = run.pick(std::vector<int32_t>{-1, 0, 1, 17, 64, 512});
  return p;
}

TEST(SegmentationFuzz, OddFramesAndSettingsNeverLeadOutsideTheImages) {
  FuzzRun run("segmentation", 3000, std::chrono::seconds(10), 20261213);
  FormattingLog log;
  while (run.next()) {
    GrayImage frame = randomFrame(run);
    const SegmentationParams params = randomParams(run, frame);
    // The output the caller allocates: mostly as the settings say, sometimes another size.
    GrayImage output = run.below(4) == 0 ? GrayImage(1 + static_cast<int32_t>(run.below(80)),
                                                     1 + static_cast<int32_t>(run.below(80)), 7)
                                         : GrayImage(params.outputWidth, params.outputHeight, 7);
    const GrayImage before = output;
    const int32_t frameWidth = frame.width, frameHeight = frame.height;
    const bool found = GetFingerPrint(frame, output, params, run.below(2) ? &log : nullptr);
    ASSERT_EQ(frame.width, frameWidth);
    ASSERT_EQ(frame.height, frameHeight);
    ASSERT_EQ(output.width, before.width);
    ASSERT_EQ(output.height, before.height);
    ASSERT_EQ(output.data.size(), before.data.size());
    if (!found) {
      ASSERT_TRUE(output.data == before.data) << "a failed segmentation changed the output";
    }
    run.tally(found ? "one finger" : "no result");
  }
  EXPECT_GT(run.count("one finger"), 0u);
}

// Boxes and offsets anywhere, including outside both images.
TEST(SegmentationFuzz, CropAndFillChecksEveryBox) {
  FuzzRun run("crop and fill", 15000, std::chrono::seconds(10), 20261214);
  const std::vector<int32_t> coordinates = {-2, -1, 0, 1, 2, 15, 16, 17, 31, 63, 64, 65, 1000};
  while (run.next()) {
    GrayImage source = randomFrame(run);
    GrayImage target(1 + static_cast<int32_t>(run.below(70)), 1 + static_cast<int32_t>(run.below(70)), 9);
    const int32_t minX = run.pick(coordinates), minY = run.pick(coordinates);
    const int32_t maxX = run.below(2) ? run.pick(coordinates) : minX + static_cast<int32_t>(run.below(40));
    const int32_t maxY = run.below(2) ? run.pick(coordinates) : minY + static_cast<int32_t>(run.below(40));
    const int32_t rowOffset = run.below(2) ? -1 : run.pick(coordinates);
    const int32_t columnOffset = run.below(2) ? -1 : run.pick(coordinates);
    const GrayImage before = target;
    const bool done = cropAndFill(source, minX, minY, maxX, maxY, target, rowOffset, columnOffset,
                                  static_cast<uint8_t>(run.below(256)));
    ASSERT_EQ(target.data.size(), before.data.size());
    if (!done) {
      ASSERT_TRUE(target.data == before.data) << "a refused box changed the target";
    }
    run.tally(done ? "placed" : "refused");
  }
  EXPECT_GT(run.count("placed"), 0u);
}

}  // namespace
}  // namespace segmentation
