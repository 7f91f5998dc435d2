// segmentation_bench.cpp: the segmentation on a scanner-sized synthetic frame (320 x 480): the whole
// GetFingerPrint pipeline, and the frame loop's binarizeAndCount; also the cost of generating such a
// frame, which the stand-in scanners do for every frame they deliver.
#include <benchmark/benchmark.h>

#include "fingerprint_segmentation.h"
#include "morphology.h"
#include "synthetic_finger.h"

namespace {

segmentation::GrayImage scannerFrame() {
  velmar::synthetic::FingerParams f;  // 320 x 480, one finger
  return segmentation::GrayImage(velmar::synthetic::generateFinger(f), f.width, f.height);
}

void BM_GetFingerPrint(benchmark::State& state) {
  const segmentation::GrayImage frame = scannerFrame();
  segmentation::SegmentationParams params;
  params.frameWidth = frame.width;
  params.frameHeight = frame.height;
  segmentation::GrayImage output(512, 512);
  for (auto _ : state) {
    segmentation::GrayImage work = frame;  // consumed by the call
    if (!segmentation::GetFingerPrint(work, output, params)) state.SkipWithError("no finger");
    benchmark::DoNotOptimize(output.data.data());
  }
}
BENCHMARK(BM_GetFingerPrint)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_BinarizeAndCount(benchmark::State& state) {
  const segmentation::GrayImage frame = scannerFrame();
  uint32_t count = 0;
  for (auto _ : state) {
    segmentation::GrayImage work = frame;
    segmentation::binarizeAndCount(work, 210, nullptr, &count);
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BM_BinarizeAndCount)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_GenerateFrame(benchmark::State& state) {
  velmar::synthetic::FingerParams f;
  for (auto _ : state) {
    ++f.seed;
    benchmark::DoNotOptimize(velmar::synthetic::generateFinger(f).data());
  }
}
BENCHMARK(BM_GenerateFrame)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
