// pe_image_fuzz_test.cpp: seeded random mutations of real libraries of both bitnesses. Whatever the
// bytes, the reader returns an image or refuses with PeError; the sanitizers catch any bad access.
#include <gtest/gtest.h>

#include <random>

#include "pe_fixtures.h"
#include "pe_image.h"

namespace {

constexpr int kRoundsPerSeed = 2000;

// Mutations aimed where the reader looks: header fields, directory entries, table contents.
void mutate(std::vector<std::uint8_t>& b, std::mt19937& rng) {
  std::uniform_int_distribution<int> kind(0, 4);
  const std::size_t headerSpan = std::min<std::size_t>(b.size(), 1024);
  auto at = [&](std::size_t span) { return std::uniform_int_distribution<std::size_t>(0, span - 1)(rng); };
  switch (kind(rng)) {
    case 0: b[at(headerSpan)] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
    case 1: b[at(b.size())] = static_cast<std::uint8_t>(rng()); break;
    case 2: {  // a 32-bit field set to a boundary value
      const std::uint32_t values[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, static_cast<std::uint32_t>(b.size())};
      const std::size_t p = at(headerSpan - 4) & ~std::size_t{3};
      const std::uint32_t v = values[rng() % 6];
      for (int i = 0; i < 4; ++i) b[p + i] = static_cast<std::uint8_t>(v >> (8 * i));
      break;
    }
    case 3: b.resize(at(b.size()) + 1); break;
    default: b[at(b.size())] = 0; break;
  }
}

TEST(PeImageFuzz, EveryMutationReadsOrIsRefusedCleanly) {
  int seeds = 0, refused = 0, read = 0;
  for (const char* arch : {"x86_64", "i686"}) {
    for (const char* variant : {"full", "without_17"}) {
      const auto seed = readFixture(arch, variant);
      if (seed.empty()) continue;
      ++seeds;
      std::mt19937 rng(static_cast<unsigned>(seed.size()) * 2654435761u + static_cast<unsigned>(seeds));
      for (int round = 0; round < kRoundsPerSeed; ++round) {
        auto bytes = seed;
        const int mutations = 1 + static_cast<int>(rng() % 4);
        for (int m = 0; m < mutations && !bytes.empty(); ++m) mutate(bytes, rng);
        try {
          const PeImage image = readPeImage(bytes);
          EXPECT_TRUE(image.bitness == 32 || image.bitness == 64);
          ++read;
        } catch (const PeError& e) {
          EXPECT_STRNE(e.what(), "");
          ++refused;
        }
      }
    }
  }
  if (seeds == 0) GTEST_SKIP() << "no test libraries built";
  // Both outcomes occur, so the mutations reach past the first checks.
  EXPECT_GT(read, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
