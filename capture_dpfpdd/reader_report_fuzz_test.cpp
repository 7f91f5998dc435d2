// Seeded random capture reports against the program's copy and its outcome, natively under the
// sanitizers: the record and the image each sit in a heap block of exactly their size, so reading
// past what the library handed over is caught.
#include "reader_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "result_codes.h"
#include "testing/fuzz_run.h"

namespace capture_b {
namespace {

ReportOutcome outcomeFor(const dpfpdd::CaptureReport& report) { return outcomeOf(report); }

TEST(ReaderReportFuzz, CopiesAndOutcomesStayInsideTheReport) {
  EXPECT_TRUE(ReportCopy::of(nullptr).empty());
  const std::vector<uint32_t> sides = {0, 1, 2, 3, 7, 64, 357, 392, 500, 0xFFFF, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF};
  const std::vector<uint32_t> flags = {0, 1, 2, 0x80000000u, 0xFFFFFFFF};
  velmar::testing::FuzzRun run("reader report", 10000, std::chrono::seconds(10), 20261212);
  while (run.next()) {
    auto record = std::make_unique<dpfpdd::CaptureReport>();
    std::memset(record.get(), static_cast<int>(run.below(256)), sizeof(dpfpdd::CaptureReport));
    record->error = run.below(3) == 0 ? static_cast<int32_t>(run.pick(flags)) : 0;
    record->success = static_cast<int32_t>(run.pick(flags));
    record->quality = run.below(3) == 0 ? dpfpdd::kQualityCancelled : run.pick(flags);
    // Mostly reader-like sizes, sometimes absurd ones.
    record->width = run.below(4) == 0 ? run.pick(sides) : 1 + run.below(120);
    record->height = run.below(4) == 0 ? run.pick(sides) : 1 + run.below(120);
    // Areas between a quarter megapixel and the 64 MiB limit add time and nothing new: made absurd.
    if (uint64_t{record->width} * record->height > (1u << 18)) record->height = 0x7FFFFFFF;
    const uint64_t area = uint64_t{record->width} * record->height;
    // The image the library hands over: as large as the area, shorter, longer, empty or missing.
    uint64_t imageBytes = 0;
    switch (run.below(5)) {
      case 0: imageBytes = area <= (1u << 16) ? area : 0; break;
      case 1: imageBytes = area > 0 && area <= (1u << 16) ? area - 1 - run.below(static_cast<uint32_t>(area)) % area : 0; break;
      case 2: imageBytes = std::min<uint64_t>(area, 1u << 16) + run.below(100); break;
      case 3: imageBytes = run.below(300); break;
      default: imageBytes = 0; break;
    }
    std::unique_ptr<uint8_t[]> image;
    const bool withImage = run.below(8) != 0;
    if (withImage && imageBytes > 0) {
      image.reset(new uint8_t[imageBytes]);
      const uint32_t step = run.below(256);
      for (uint64_t i = 0; i < imageBytes; ++i) image[i] = static_cast<uint8_t>(i * step + i / 7);
    }
    record->image = image.get();
    record->imageSize = static_cast<uint32_t>(image ? imageBytes : run.below(2) ? 0 : run.pick(sides));
    if (!image) record->image = nullptr;

    const ReportCopy copy = ReportCopy::of(record.get());
    ASSERT_FALSE(copy.empty());
    const dpfpdd::CaptureReport& copied = copy.report();
    ASSERT_EQ(copied.width, record->width);
    ASSERT_EQ(copied.height, record->height);
    ASSERT_EQ(copied.imageSize, record->imageSize);
    if (image) {
      ASSERT_NE(copied.image, record->image) << "the copy must own its image";
      ASSERT_EQ(std::memcmp(copied.image, image.get(), imageBytes), 0);
    }
    if (!image) {
      ASSERT_EQ(copied.image, nullptr);
    }

    const ReportOutcome fromCopy = outcomeFor(copied);
    const ReportOutcome fromRecord = outcomeFor(*record);
    ASSERT_EQ(fromCopy.code, fromRecord.code);
    ASSERT_EQ(fromCopy.pixels, fromRecord.pixels);
    switch (fromCopy.code) {
      case DEV_SUCCESS: {
        ASSERT_EQ(fromCopy.pixels.size(), area);
        const uint64_t given = image ? std::min<uint64_t>(area, imageBytes) : 0;
        if (given > 0) {
          ASSERT_EQ(std::memcmp(fromCopy.pixels.data(), image.get(), given), 0);
        }
        ASSERT_TRUE(std::all_of(fromCopy.pixels.begin() + static_cast<std::ptrdiff_t>(given), fromCopy.pixels.end(),
                                [](uint8_t p) { return p == 255; }))
            << "short image not padded white";
        run.tally("image");
        break;
      }
      case DEV_ERR_INTERNAL_DEVICE: run.tally("error field"); break;
      case DEV_ERR_CANCELLED: run.tally("cancelled"); break;
      case DEV_ERR_FAULTY_FINGER: run.tally("faulty finger"); break;
      default: FAIL() << "unexpected code " << fromCopy.code;
    }
  }
  EXPECT_GT(run.count("image"), 0u);
}

}  // namespace
}  // namespace capture_b
