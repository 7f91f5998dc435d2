// json_tool.cpp: a small Windows program that lets the script tests check the host's JSON line and
// base64 with independent tools.
//   json_tool jpeg BMP_FILE [WSQ_FILE]   prints toJsonString of the file(s) with exit code "0"
//   json_tool base64 COUNT               prints COUNT lines "HEX BASE64" of 1..COUNT random bytes
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "basen.h"
#include "device_exports.h"

namespace {

std::vector<std::uint8_t> readFile(const wchar_t* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"jpeg" && argc > 2) {
    biodeviceOutput output;
    output.bmp = readFile(argv[2]);
    if (argc > 3) output.wsq = readFile(argv[3]);
    std::string json;
    toJsonString(output, "0", json);
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputs("\n", stdout);
    return json.empty() ? 1 : 0;
  }
  if (mode == L"base64" && argc > 2) {
    std::random_device seed;
    std::mt19937 rng(seed());
    const int count = std::stoi(argv[2]);
    for (int n = 1; n <= count; ++n) {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
      std::string hex;
      for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(rng());
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
      }
      std::string b64;
      base64Encode(bytes.data(), bytes.size(), b64);
      std::printf("%s %s\n", hex.c_str(), b64.c_str());
    }
    return 0;
  }
  std::fputs("usage: json_tool jpeg BMP [WSQ] | json_tool base64 COUNT\n", stderr);
  return 2;
}
