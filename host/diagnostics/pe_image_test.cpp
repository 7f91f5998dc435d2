// pe_image_test.cpp: the PE reader on real libraries of both bitnesses, and its refusals.
#include "pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "pe_fixtures.h"

namespace {

const PeImportedLibrary* findImport(const PeImage& image, const std::string& name) {
  for (const auto& lib : image.imports) {
    if (lib.name == name) return &lib;
  }
  return nullptr;
}

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::size_t peOffset(const std::vector<std::uint8_t>& b) {
  return b[0x3C] | b[0x3D] << 8 | b[0x3E] << 16 | static_cast<std::size_t>(b[0x3F]) << 24;
}

struct ArchCase {
  const char* arch;
  int bitness;
  std::uint16_t machine;
};
const ArchCase kArchs[] = {{"x86_64", 64, 0x8664}, {"i686", 32, 0x14C}};

TEST(PeImage, ReadsBitnessImportsAndExportsOfBothFormats) {
  for (const ArchCase& c : kArchs) {
    SCOPED_TRACE(c.arch);
    const auto bytes = readFixture(c.arch, "full");
    if (bytes.empty()) GTEST_SKIP() << "no test library for " << c.arch;
    const PeImage image = readPeImage(bytes);
    EXPECT_EQ(image.bitness, c.bitness);
    EXPECT_EQ(image.machine, c.machine);
    EXPECT_TRUE(image.dll);

    for (std::uint32_t ordinal : {1u, 2u, 3u, 4u, 5u, 6u, 17u}) EXPECT_TRUE(image.exportsOrdinal(ordinal)) << ordinal;
    EXPECT_FALSE(image.exportsOrdinal(7));
    EXPECT_EQ(image.exports.size(), 7u);  // the gap 7..16 is not reported
    EXPECT_TRUE(image.exportsName("scan_diodes"));
    EXPECT_FALSE(image.exportsName("scan_open"));  // exported by ordinal only

    const PeImportedLibrary* byOrdinal = findImport(image, "ordinalLib.dll");
    ASSERT_NE(byOrdinal, nullptr);
    ASSERT_EQ(byOrdinal->functions.size(), 1u);
    EXPECT_TRUE(byOrdinal->functions[0].byOrdinal());
    EXPECT_EQ(byOrdinal->functions[0].ordinal, 7);

    // The C runtime's start-up code imports from KERNEL32 by name.
    const auto kernel = std::find_if(image.imports.begin(), image.imports.end(), [](const PeImportedLibrary& l) {
      std::string n = l.name;
      std::transform(n.begin(), n.end(), n.begin(), [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
      return n == "KERNEL32.DLL";
    });
    ASSERT_NE(kernel, image.imports.end());
    EXPECT_TRUE(std::any_of(kernel->functions.begin(), kernel->functions.end(),
                            [](const PeImportedFunction& f) { return !f.byOrdinal() && !f.name.empty(); }));
  }
}

TEST(PeImage, AnImportIsMatchedByNameOrByOrdinal) {
  const auto bytes = readFixture("x86_64", "without_17");
  if (bytes.empty()) GTEST_SKIP() << "no test library";
  const PeImage image = readPeImage(bytes);
  PeImportedFunction ordinal17;
  ordinal17.ordinal = 17;
  PeImportedFunction ordinal6;
  ordinal6.ordinal = 6;
  EXPECT_FALSE(image.provides(ordinal17));
  EXPECT_TRUE(image.provides(ordinal6));
  EXPECT_FALSE(image.provides(PeImportedFunction{"scan_diodes", 0}));
}

TEST(PeImage, RefusesWhatItCannotRead) {
  const auto good = readFixture("i686", "full");
  if (good.empty()) GTEST_SKIP() << "no test library";
  const std::size_t pe = peOffset(good);
  const std::size_t opt = pe + 24;
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
    const char* error;
  };
  const Case cases[] = {
      {"empty", [](auto& b) { b.clear(); }, "not a PE file"},
      {"no MZ", [](auto& b) { b[0] = 'X'; }, "not a PE file"},
      {"header offset past the end", [](auto& b) { putU32(b, 0x3C, 0xFFFFFFF0u); }, "not a PE file"},
      {"no PE signature", [pe](auto& b) { b[pe] = 'Q'; }, "not a PE file"},
      {"unknown optional header", [opt](auto& b) { b[opt] = 0x07; }, "unknown optional header"},
      {"cut in the section table", [pe](auto& b) { b.resize(pe + 24 + 100); }, "truncated PE file"},
      {"too many sections", [pe](auto& b) { b[pe + 6] = 0xFF; b[pe + 7] = 0x00; }, "too many sections"},
      {"import table outside the file", [opt](auto& b) { putU32(b, opt + 96 + 8, 0x7FFF0000u); },
       "import table outside the file"},
      {"export directory outside the file", [opt](auto& b) { putU32(b, opt + 96, 0x7FFF0000u); },
       "export directory outside the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = good;
    c.spoil(bytes);
    try {
      readPeImage(bytes);
      ADD_FAILURE() << "read";
    } catch (const PeError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

// A PE32 file of one section at RVA 0x1000 whose import table has `libraries` descriptors, all naming
// one library and sharing one lookup table of `functions` entries (each the same imported name).
std::vector<std::uint8_t> sharedImportTable(std::size_t libraries, std::size_t functions) {
  constexpr std::uint32_t kSectionRva = 0x1000, kRaw = 0x200;
  constexpr std::uint32_t kHintName = 0, kLibraryName = 16, kLookup = 32;
  const std::uint32_t descriptors = kLookup + static_cast<std::uint32_t>(4 * (functions + 1));
  const std::uint32_t sectionSize = descriptors + static_cast<std::uint32_t>(20 * (libraries + 1));
  std::vector<std::uint8_t> b(kRaw + sectionSize, 0);
  b[0] = 'M';
  b[1] = 'Z';
  const std::size_t pe = 0x40, opt = pe + 24;
  putU32(b, 0x3C, pe);
  putU32(b, pe, 0x00004550);
  b[pe + 4] = 0x4C;  // i386
  b[pe + 5] = 0x01;
  b[pe + 6] = 1;     // one section
  b[pe + 20] = 224;  // optional header with 16 directories
  b[opt] = 0x0B;     // PE32
  b[opt + 1] = 0x01;
  putU32(b, opt + 60, kRaw);                             // SizeOfHeaders
  putU32(b, opt + 92, 16);                               // NumberOfRvaAndSizes
  putU32(b, opt + 96 + 8, kSectionRva + descriptors);  // import directory
  const std::size_t section = opt + 224;
  putU32(b, section + 8, sectionSize);
  putU32(b, section + 12, kSectionRva);
  putU32(b, section + 16, sectionSize);
  putU32(b, section + 20, kRaw);

  const std::size_t s = kRaw;
  b[s + kHintName + 2] = 'f';
  const char library[] = "a.dll";
  std::copy(library, library + sizeof library, b.begin() + s + kLibraryName);
  for (std::size_t i = 0; i < functions; ++i) putU32(b, s + kLookup + 4 * i, kSectionRva + kHintName);
  for (std::size_t i = 0; i < libraries; ++i) {
    const std::size_t d = s + descriptors + 20 * i;
    putU32(b, d, kSectionRva + kLookup);
    putU32(b, d + 12, kSectionRva + kLibraryName);
    putU32(b, d + 16, kSectionRva + kLookup);
  }
  return b;
}

TEST(PeImage, ImportsAreBoundedPerTableAndInTotal) {
  struct Case {
    std::size_t libraries, functions;
    bool read;
  };
  const Case cases[] = {
      {1, 3, true},        // the builder itself makes a readable file
      {1000, 1, true},     // many libraries, few functions
      {2, 8000, true},     // long tables, 16000 entries in all
      {1, 9000, false},    // one table too long
      {3, 8000, false},    // three descriptors sharing one long table: 24000 entries
      {2000, 1, false},    // too many libraries
      {100000, 8000, false},  // the crafted worst case: 800 million entries were it read
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.libraries) + " x " + std::to_string(c.functions));
    const auto bytes = sharedImportTable(c.libraries, c.functions);
    if (c.read) {
      const PeImage image = readPeImage(bytes);
      ASSERT_EQ(image.imports.size(), c.libraries);
      EXPECT_EQ(image.imports.back().name, "a.dll");
      ASSERT_EQ(image.imports.back().functions.size(), c.functions);
      EXPECT_EQ(image.imports.back().functions.back().name, "f");
      continue;
    }
    try {
      readPeImage(bytes);
      ADD_FAILURE() << "read";
    } catch (const PeError& e) {
      EXPECT_STREQ(e.what(), "too many imports");
    }
  }
}

TEST(PeImage, MachineNames) {
  EXPECT_EQ(peMachineName(0x14C), "i386");
  EXPECT_EQ(peMachineName(0x8664), "x64");
  EXPECT_EQ(peMachineName(0x1234), "0x1234");
}

}  // namespace
