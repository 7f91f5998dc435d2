// The WSQ stream check of a 512 x 512 capture at 1.0 bit per pixel: the structural walk alone and the
// whole check with its full decode (what the host and velmar-capture-b run on every capture).
#include <benchmark/benchmark.h>

#include "wsq_stream_check.h"
#include "wsq_test_stream.h"

namespace {

void run(benchmark::State& state, bool decode) {
  const std::vector<unsigned char> stream = wsq::testing::syntheticWsq(512, 512);
  wsq::WsqCheckOptions options;
  options.decode = decode;
  for (auto _ : state) {
    const wsq::WsqCheckResult r = wsq::checkWsqStream(stream.data(), stream.size(), options);
    if (!r.whole) state.SkipWithError(r.fault.c_str());
    benchmark::DoNotOptimize(r.blocks);
  }
}

void BM_WsqCheckWalk512(benchmark::State& state) { run(state, false); }
void BM_WsqCheckWithDecode512(benchmark::State& state) { run(state, true); }

}  // namespace

BENCHMARK(BM_WsqCheckWalk512)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_WsqCheckWithDecode512)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
