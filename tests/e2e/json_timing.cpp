// json_timing.cpp: how long toJsonString takes for one capture's output (a BMP file and a WSQ file),
// timed with the performance counter. Prints figures; asserts nothing about them.
//
// usage: e2e_json_timing BMP_FILE WSQ_FILE [ROUNDS]   (default 20 rounds after one warm-up call)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device_exports.h"

namespace {

std::vector<std::uint8_t> readFile(const wchar_t* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double nowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: e2e_json_timing BMP_FILE WSQ_FILE [ROUNDS]\n");
    return 2;
  }
  biodeviceOutput out;
  out.bmp = readFile(argv[1]);
  out.wsq = readFile(argv[2]);
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 20;

  std::string line;
  toJsonString(out, "0", line);  // warm-up: the first GDI+ start loads its libraries
  if (line.empty()) {
    std::fprintf(stderr, "toJsonString made no line of this BMP\n");
    return 1;
  }
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    std::string json;
    const double start = nowMs();
    toJsonString(out, "0", json);
    times.push_back(nowMs() - start);
  }
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("toJsonString: bmp %zu bytes, wsq %zu bytes -> line %zu bytes; %d rounds: median %.2f ms, "
              "mean %.2f ms, min %.2f ms, max %.2f ms\n",
              out.bmp.size(), out.wsq.size(), line.size(), rounds, times[times.size() / 2], sum / rounds,
              times.front(), times.back());
  return 0;
}
