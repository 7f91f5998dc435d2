// wsq_testdata.h: access to the NIST reference data folder (WSQ_TESTDATA_DIR) for the codec's tests:
// the folder as the running program sees it, whole files, and the encoder inputs with their sizes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef WSQ_TESTDATA_DIR
#error "WSQ_TESTDATA_DIR must name the reference data folder"
#endif

namespace wsq {
namespace testdata {

using Bytes = std::vector<unsigned char>;

inline std::string dataDir() {
  std::string dir = WSQ_TESTDATA_DIR;
#ifdef _WIN32
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;  // the Unix root as Wine maps it
#endif
  return dir;
}

inline bool readFile(const std::string& path, Bytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

struct RawImage {
  std::string name;
  int width;
  int height;
};

// The encoder inputs present in raw/, with their sizes from raw-image-dimensions.json.
inline std::vector<RawImage> rawImages() {
  Bytes json;
  std::vector<RawImage> out;
  if (!readFile(dataDir() + "/raw-image-dimensions.json", json)) return out;
  const std::string text(json.begin(), json.end());
  size_t pos = 0;
  while ((pos = text.find("\"fileName\"", pos)) != std::string::npos) {
    const size_t q1 = text.find('"', text.find(':', pos) + 1);
    const size_t q2 = text.find('"', q1 + 1);
    std::string file = text.substr(q1 + 1, q2 - q1 - 1);
    const size_t w = text.find("\"width\"", q2);
    const size_t h = text.find("\"height\"", q2);
    const int width = std::atoi(text.c_str() + text.find(':', w) + 1);
    const int height = std::atoi(text.c_str() + text.find(':', h) + 1);
    pos = q2;
    Bytes probe;
    const std::string name = file.substr(0, file.find('.'));
    if (readFile(dataDir() + "/raw/" + file, probe)) out.push_back({name, width, height});
  }
  return out;
}

}  // namespace testdata
}  // namespace wsq

#define SKIP_WITHOUT_WSQ_TESTDATA()                                                                  \
  do {                                                                                               \
    ::wsq::testdata::Bytes probe;                                                                    \
    if (!::wsq::testdata::readFile(::wsq::testdata::dataDir() + "/PROVENANCE.md", probe)) {          \
      GTEST_SKIP() << "WSQ reference data not found in " << ::wsq::testdata::dataDir()               \
                   << " (shared/testdata/wsq-nist)";                                                 \
    }                                                                                                \
  } while (0)
