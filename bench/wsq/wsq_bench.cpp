// WSQ encode and decode of a 512 x 512 synthetic finger at 1.0 bit per pixel (what a capture does).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "wsq_test_image.h"
#include "wsq_decoder.h"
#include "wsq_encoder_params.h"

namespace {

wsq::wsqEncoderParams captureParams() {
  wsq::wsqEncoderParams p;
  p.image = wsq::testing::syntheticFinger(512, 512);
  p.width = 512;
  p.height = 512;
  p.depth = 8;
  p.ppi = 500;
  p.bitRate = 1.0f;
  return p;
}

void BM_WsqEncode512(benchmark::State& state) {
  wsq::wsqEncoderParams p = captureParams();
  for (auto _ : state) {
    p.encode();
    benchmark::DoNotOptimize(p.output.data());
  }
  state.counters["bytes"] = static_cast<double>(p.output.size());
}

void BM_WsqDecode512(benchmark::State& state) {
  wsq::wsqEncoderParams p = captureParams();
  p.encode();
  wsq::WsqImage image;
  std::string error;
  for (auto _ : state) {
    if (!wsq::decodeWsq(p.output.data(), p.output.size(), image, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(image.pixels.data());
  }
}

}  // namespace

BENCHMARK(BM_WsqEncode512)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_WsqDecode512)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
