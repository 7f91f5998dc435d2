// Base64 and the JSON line at the sizes of one capture: a WSQ file of about 30 KB and a 512 x 512
// 8-bit BMP (263222 bytes). Prints throughput; asserts nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "basen.h"
#include "json_line.h"

namespace {

std::vector<std::uint8_t> bytes(std::size_t n) {
  std::vector<std::uint8_t> b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 131 + (i >> 7));
  return b;
}

void BM_Base64(benchmark::State& state) {
  const std::vector<std::uint8_t> in = bytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string out;
    base64Encode(in.data(), in.size(), out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Base64)->Arg(30000)->Arg(263222);

void BM_JsonLine(benchmark::State& state) {
  std::string wsq64, jpg64;
  const std::vector<std::uint8_t> wsq = bytes(30000), jpg = bytes(20000);
  base64Encode(wsq.data(), wsq.size(), wsq64);
  base64Encode(jpg.data(), jpg.size(), jpg64);
  for (auto _ : state) {
    std::string line = makeJsonLine(wsq64, jpg64, "0", "", "");
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_JsonLine);

}  // namespace
