// The stream check against the NIST reference files: each passes whole; no truncation of any of them
// passes, not even one closed again with an end of image; seeded mutations never crash the check, and
// whatever it accepts decodes. Natively under the sanitizers; skipped when the data folder is absent.
#include "wsq_stream_check.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "wsq_decoder.h"
#include "wsq_test_stream.h"

#ifndef WSQ_TESTDATA_DIR
#error "WSQ_TESTDATA_DIR must name the reference data folder"
#endif

namespace wsq {
namespace {

using Bytes = std::vector<unsigned char>;

struct RefFile {
  std::string name;
  Bytes bytes;
};

std::vector<RefFile> referenceFiles() {
  std::vector<RefFile> files;
  for (const char* sub : {"ref075", "ref225", "nonstd"}) {
    const std::string dir = std::string(WSQ_TESTDATA_DIR) + "/" + sub;
    DIR* d = opendir(dir.c_str());
    if (!d) continue;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.size() > 4 && n.compare(n.size() - 4, 4, ".wsq") == 0) names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
      std::ifstream in(dir + "/" + n, std::ios::binary);
      files.push_back({std::string(sub) + "/" + n, Bytes(std::istreambuf_iterator<char>(in), {})});
    }
  }
  return files;
}

const std::vector<RefFile>& files() {
  static const std::vector<RefFile> all = referenceFiles();
  return all;
}

#define SKIP_WITHOUT_DATA() \
  if (files().empty()) GTEST_SKIP() << "no reference data in " << WSQ_TESTDATA_DIR

TEST(WsqStreamCheckFuzz, ReferenceFilesAreWhole) {
  SKIP_WITHOUT_DATA();
  EXPECT_GE(files().size(), 18u);
  for (const RefFile& f : files()) {
    const WsqCheckResult r = checkWsqStream(f.bytes.data(), f.bytes.size());
    EXPECT_TRUE(r.whole) << f.name << ": " << r.fault;
    EXPECT_TRUE(r.decoded) << f.name;
  }
}

// Our own small stream, cheap enough to decode for every case below.
const Bytes& smallStream() {
  static const Bytes bytes = testing::syntheticWsq(64, 48);
  return bytes;
}

bool wholeWhenClosed(const Bytes& s, size_t n, const WsqCheckOptions& options = {}) {
  Bytes cut(s.begin(), s.begin() + static_cast<long>(n));
  cut.insert(cut.end(), {0xFF, 0xA1});
  return checkWsqStream(cut.data(), cut.size(), options).whole;
}

TEST(WsqStreamCheckFuzz, NoTruncationPasses) {
  SKIP_WITHOUT_DATA();
  WsqCheckOptions walkOnly;
  walkOnly.decode = false;
  for (const RefFile& f : files()) {
    SCOPED_TRACE(f.name);
    // Every proper prefix, checked in place.
    for (size_t n = 0; n < f.bytes.size(); ++n) {
      if (checkWsqStream(f.bytes.data(), n).whole) ADD_FAILURE() << "prefix of " << n << " bytes accepted";
    }
    // Prefixes closed again with an end of image (every length in the last 400 bytes, every 211th
    // before): the walk alone refuses all but those cut inside the last block's coded data; a few of
    // those go through the decode too (it takes long under the sanitizers).
    std::vector<size_t> walkPassed;
    for (size_t n = 0; n + 2 < f.bytes.size(); n += (n + 400 < f.bytes.size() ? 211 : 1)) {
      if (wholeWhenClosed(f.bytes, n, walkOnly)) walkPassed.push_back(n);
    }
    EXPECT_FALSE(walkPassed.empty());
    for (size_t i = 0; i < walkPassed.size(); i += std::max<size_t>(1, walkPassed.size() / 3)) {
      if (wholeWhenClosed(f.bytes, walkPassed[i])) ADD_FAILURE() << "prefix of " << walkPassed[i] << " bytes with an end of image accepted";
    }
  }
  // Our own stream: every prefix closed with an end of image, through walk and decode.
  for (size_t n = 0; n + 2 < smallStream().size(); ++n) {
    if (wholeWhenClosed(smallStream(), n)) ADD_FAILURE() << "own stream: prefix of " << n << " bytes accepted";
  }
}

Bytes mutated(const Bytes& original, std::mt19937& random) {
  Bytes m = original;
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits && !m.empty(); ++e) {
    // Half of the edits land in the headers (the first 700 bytes), where the structure lives.
    const size_t span = (random() % 2) ? std::min<size_t>(700, m.size()) : m.size();
    const size_t at = random() % span;
    switch (random() % 3) {
      case 0: m[at] = static_cast<unsigned char>(random()); break;
      case 1: m[at] ^= static_cast<unsigned char>(1u << (random() % 8)); break;
      default: m.erase(m.begin() + static_cast<long>(at)); break;
    }
  }
  return m;
}

TEST(WsqStreamCheckFuzz, SeededMutationsNeverCrashAndWhatPassesDecodes) {
  SKIP_WITHOUT_DATA();
  std::mt19937 random(20261210u);
  WsqCheckOptions walkOnly;
  walkOnly.decode = false;
  int refused = 0;
  for (const RefFile& f : files()) {
    for (int round = 0; round < 200; ++round) {
      const Bytes m = mutated(f.bytes, random);
      const WsqCheckResult r = checkWsqStream(m.data(), m.size(), walkOnly);
      if (!r.whole) ++refused;
      EXPECT_EQ(r.whole, r.fault.empty());
    }
  }
  int accepted = 0;
  for (int round = 0; round < 2000; ++round) {
    const Bytes m = mutated(smallStream(), random);
    const WsqCheckResult r = checkWsqStream(m.data(), m.size());
    if (!r.whole) {
      ++refused;
      continue;
    }
    ++accepted;
    WsqImage image;
    std::string error;
    EXPECT_TRUE(decodeWsq(m.data(), m.size(), image, error)) << error;
  }
  std::printf("mutations: %d accepted (whole and decodable), %d refused\n", accepted, refused);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace wsq
