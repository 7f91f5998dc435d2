// pe_fixtures.h: the test libraries built beside the tests (CMakeLists.txt), read as bytes. Test-only.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// arch "x86_64" or "i686", variant "full" or "without_17"; empty when the library was not built.
inline std::vector<std::uint8_t> readFixture(const std::string& arch, const std::string& variant) {
#ifdef _WIN32
  const std::string root = std::string("Z:") + VELMAR_FIXTURE_DIR;  // Wine maps the Linux root to Z:
#else
  const std::string root = VELMAR_FIXTURE_DIR;
#endif
  std::ifstream in(root + "/" + arch + "/" + variant + "/ftrScanAPI.dll", std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}
