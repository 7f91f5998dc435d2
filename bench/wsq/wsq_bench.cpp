// WSQ encode and decode on one core: a 512 x 512 synthetic finger at 1.0 bit per pixel (what a capture
// does) and the NIST 1600 x 1500 print sample_01 at 0.75 (a synthetic finger of that size where the
// reference data is absent), on each filter path the processor has (AVX is the default where present).
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "wsq_decoder.h"
#include "wsq_encoder_params.h"
#include "wsq_filter_kernel.h"
#include "wsq_test_image.h"

namespace {

struct Input {
  std::vector<unsigned char> pixels;
  int width, height;
  float bitRate;
};

Input capture512() { return {wsq::testing::syntheticFinger(512, 512), 512, 512, 1.0f}; }

Input print1600() {
  std::ifstream in(std::string(WSQ_TESTDATA_DIR) + "/raw/sample_01.raw", std::ios::binary);
  std::vector<unsigned char> pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (pixels.size() != 1600u * 1500u) pixels = wsq::testing::syntheticFinger(1600, 1500);
  return {pixels, 1600, 1500, 0.75f};
}

wsq::wsqEncoderParams paramsOf(const Input& input) {
  wsq::wsqEncoderParams p;
  p.image = input.pixels;
  p.width = input.width;
  p.height = input.height;
  p.depth = 8;
  p.ppi = 500;
  p.bitRate = input.bitRate;
  return p;
}

// Runs `state` on the filter path given as its first argument (0 scalar, 1 SSE2, 2 AVX).
bool usePath(benchmark::State& state) {
  const auto path = static_cast<wsq::VectorPath>(state.range(0));
  if (wsq::useVectorPath(path) != path) {
    state.SkipWithError("this processor lacks the path");
    return false;
  }
  state.SetLabel(path == wsq::VectorPath::Avx ? "AVX" : path == wsq::VectorPath::Sse2 ? "SSE2" : "scalar");
  return true;
}

void encode(benchmark::State& state, Input (*make)()) {
  wsq::wsqEncoderParams p = paramsOf(make());
  if (!usePath(state)) return;
  for (auto _ : state) {
    p.encode();
    benchmark::DoNotOptimize(p.output.data());
  }
  state.counters["bytes"] = static_cast<double>(p.output.size());
}

void decode(benchmark::State& state, Input (*make)()) {
  wsq::wsqEncoderParams p = paramsOf(make());
  p.encode();
  if (!usePath(state)) return;
  wsq::WsqImage image;
  std::string error;
  for (auto _ : state) {
    if (!wsq::decodeWsq(p.output.data(), p.output.size(), image, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(image.pixels.data());
  }
}

void BM_WsqEncode512(benchmark::State& state) { encode(state, capture512); }
void BM_WsqDecode512(benchmark::State& state) { decode(state, capture512); }
void BM_WsqEncode1600x1500(benchmark::State& state) { encode(state, print1600); }
void BM_WsqDecode1600x1500(benchmark::State& state) { decode(state, print1600); }

}  // namespace

#define WSQ_BENCH(name) \
  BENCHMARK(name)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true)
WSQ_BENCH(BM_WsqEncode512);
WSQ_BENCH(BM_WsqDecode512);
WSQ_BENCH(BM_WsqEncode1600x1500);
WSQ_BENCH(BM_WsqDecode1600x1500);
