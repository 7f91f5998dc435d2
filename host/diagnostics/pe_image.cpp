// pe_image.cpp: a bounded reader of the PE headers, the import table and the export table.
#include "pe_image.h"

#include <algorithm>
#include <cstdio>

namespace {

// Limits far above what any real program or library holds; they bound the work on a hostile file.
constexpr std::size_t kMaxSections = 96;  // the loader's own limit
// Imports are bounded per table and in total: descriptors may share one lookup table, so a small file
// could otherwise name the same long table a thousand times over.
constexpr std::size_t kMaxLibraries = 1024;
constexpr std::size_t kMaxFunctionsPerLibrary = 8192;
constexpr std::size_t kMaxImportedFunctions = 16384;
constexpr std::size_t kMaxExports = 65536;
constexpr std::size_t kMaxNameLength = 1024;

constexpr const char* kTooManyImports = "too many imports";

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kExportDirectorySize = 40;

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}

  bool has(std::size_t offset, std::size_t n) const { return offset <= b_.size() && n <= b_.size() - offset; }
  std::uint16_t u16(std::size_t o) const {
    need(o, 2);
    return static_cast<std::uint16_t>(b_[o] | b_[o + 1] << 8);
  }
  std::uint32_t u32(std::size_t o) const {
    need(o, 4);
    return static_cast<std::uint32_t>(b_[o]) | static_cast<std::uint32_t>(b_[o + 1]) << 8 |
           static_cast<std::uint32_t>(b_[o + 2]) << 16 | static_cast<std::uint32_t>(b_[o + 3]) << 24;
  }
  std::uint64_t u64(std::size_t o) const {
    return static_cast<std::uint64_t>(u32(o)) | static_cast<std::uint64_t>(u32(o + 4)) << 32;
  }
  // A NUL-terminated name that must end inside the file and within kMaxNameLength.
  std::string name(std::size_t o, const char* what) const {
    std::string s;
    for (std::size_t i = o; i < b_.size(); ++i) {
      if (b_[i] == 0) return s;
      if (s.size() == kMaxNameLength) break;
      s.push_back(static_cast<char>(b_[i]));
    }
    throw PeError(std::string("unterminated ") + what);
  }
  void need(std::size_t o, std::size_t n) const {
    if (!has(o, n)) throw PeError("truncated PE file");
  }

 private:
  const std::vector<std::uint8_t>& b_;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

class Layout {
 public:
  Layout(const Reader& r, std::uint32_t headersSize, std::vector<Section> sections)
      : r_(r), headersSize_(headersSize), sections_(std::move(sections)) {}

  // File offset of n bytes at rva; PeError when they do not lie in the file.
  std::size_t offset(std::uint32_t rva, std::size_t n, const char* what) const {
    for (const Section& s : sections_) {
      const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
      if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
        const std::uint32_t into = rva - s.virtualAddress;
        if (into > s.rawSize || n > s.rawSize - into) break;
        const std::size_t o = static_cast<std::size_t>(s.rawOffset) + into;
        if (!r_.has(o, n)) break;
        return o;
      }
    }
    if (rva < headersSize_ && r_.has(rva, n) && n <= headersSize_ - rva) return rva;
    throw PeError(std::string(what) + " outside the file");
  }
  // Offset of a NUL-terminated name at rva (at least its first byte must map).
  std::string name(std::uint32_t rva, const char* what) const { return r_.name(offset(rva, 1, what), what); }

 private:
  const Reader& r_;
  std::uint32_t headersSize_;
  std::vector<Section> sections_;
};

struct DataDirectory {
  std::uint32_t rva = 0, size = 0;
};

std::vector<PeImportedLibrary> readImports(const Reader& r, const Layout& map, DataDirectory dir, int bitness) {
  std::vector<PeImportedLibrary> libraries;
  if (dir.rva == 0) return libraries;
  const std::size_t thunkSize = bitness == 64 ? 8 : 4;
  std::size_t total = 0;
  for (std::size_t i = 0;; ++i) {
    if (i == kMaxLibraries) throw PeError(kTooManyImports);
    const std::uint32_t at = dir.rva + static_cast<std::uint32_t>(i * kImportDescriptorSize);
    if (at < dir.rva) throw PeError("import table outside the file");
    const std::size_t d = map.offset(at, kImportDescriptorSize, "import table");
    const std::uint32_t lookup = r.u32(d), nameRva = r.u32(d + 12), addresses = r.u32(d + 16);
    if (lookup == 0 && nameRva == 0 && addresses == 0) break;  // the all-zero descriptor ends the table
    PeImportedLibrary library;
    library.name = map.name(nameRva, "imported library name");
    // The lookup table names the functions; old linkers leave it out and only the address table,
    // still unbound in the file, holds the same entries.
    const std::uint32_t thunks = lookup != 0 ? lookup : addresses;
    for (std::size_t k = 0;; ++k) {
      if (k == kMaxFunctionsPerLibrary || total == kMaxImportedFunctions) throw PeError(kTooManyImports);
      const std::uint32_t thunkRva = thunks + static_cast<std::uint32_t>(k * thunkSize);
      if (thunkRva < thunks) throw PeError("import lookup table outside the file");
      const std::size_t t = map.offset(thunkRva, thunkSize, "import lookup table");
      const std::uint64_t entry = bitness == 64 ? r.u64(t) : r.u32(t);
      if (entry == 0) break;
      const std::uint64_t ordinalFlag = bitness == 64 ? 1ULL << 63 : 1ULL << 31;
      PeImportedFunction f;
      if (entry & ordinalFlag) {
        f.ordinal = static_cast<std::uint16_t>(entry & 0xFFFF);
      } else {
        if (entry > 0x7FFFFFFFULL) throw PeError("import lookup entry out of range");
        const std::uint32_t hintName = static_cast<std::uint32_t>(entry);
        // Two bytes of hint, then the name.
        f.name = map.name(hintName + 2, "imported function name");
        if (f.name.empty()) throw PeError("empty imported function name");
      }
      library.functions.push_back(std::move(f));
      ++total;
    }
    libraries.push_back(std::move(library));
  }
  return libraries;
}

std::vector<PeExport> readExports(const Reader& r, const Layout& map, DataDirectory dir) {
  std::vector<PeExport> exports;
  if (dir.rva == 0) return exports;
  const std::size_t e = map.offset(dir.rva, kExportDirectorySize, "export directory");
  const std::uint32_t base = r.u32(e + 16), functions = r.u32(e + 20), names = r.u32(e + 24);
  const std::uint32_t functionsRva = r.u32(e + 28), namesRva = r.u32(e + 32), ordinalsRva = r.u32(e + 36);
  if (functions > kMaxExports || names > kMaxExports) throw PeError("too many exports");
  if (names > functions) throw PeError("more export names than functions");

  std::vector<std::string> nameOf(functions);
  if (names > 0) {
    const std::size_t n = map.offset(namesRva, std::size_t{names} * 4, "export name table");
    const std::size_t o = map.offset(ordinalsRva, std::size_t{names} * 2, "export ordinal table");
    for (std::uint32_t i = 0; i < names; ++i) {
      const std::uint16_t index = r.u16(o + i * 2);
      if (index >= functions) throw PeError("export name for a function that does not exist");
      nameOf[index] = map.name(r.u32(n + std::size_t{i} * 4), "export name");
    }
  }
  if (functions > 0) {
    const std::size_t f = map.offset(functionsRva, std::size_t{functions} * 4, "export address table");
    for (std::uint32_t i = 0; i < functions; ++i) {
      if (r.u32(f + std::size_t{i} * 4) == 0 && nameOf[i].empty()) continue;  // a gap in the ordinals
      exports.push_back({std::uint32_t{base} + i, std::move(nameOf[i])});
    }
  }
  return exports;
}

}  // namespace

bool PeImage::exportsName(const std::string& name) const {
  return std::any_of(exports.begin(), exports.end(), [&](const PeExport& e) { return e.name == name; });
}

bool PeImage::exportsOrdinal(std::uint32_t ordinal) const {
  return std::any_of(exports.begin(), exports.end(), [&](const PeExport& e) { return e.ordinal == ordinal; });
}

bool PeImage::provides(const PeImportedFunction& f) const {
  return f.byOrdinal() ? exportsOrdinal(f.ordinal) : exportsName(f.name);
}

PeImage readPeImage(const std::vector<std::uint8_t>& bytes) {
  const Reader r(bytes);
  if (!r.has(0, 64) || bytes[0] != 'M' || bytes[1] != 'Z') throw PeError("not a PE file");
  const std::size_t pe = r.u32(0x3C);
  if (!r.has(pe, 24) || r.u32(pe) != 0x00004550) throw PeError("not a PE file");

  PeImage image;
  image.machine = r.u16(pe + 4);
  const std::size_t sectionCount = r.u16(pe + 6);
  const std::size_t optionalSize = r.u16(pe + 20);
  image.dll = (r.u16(pe + 22) & kFileDll) != 0;
  const std::size_t opt = pe + 24;
  if (sectionCount > kMaxSections) throw PeError("too many sections");

  const std::uint16_t magic = r.u16(opt);
  std::size_t dirCountAt = 0;
  if (magic == kMagicPe32) {
    image.bitness = 32;
    dirCountAt = opt + 92;
  } else if (magic == kMagicPe32Plus) {
    image.bitness = 64;
    dirCountAt = opt + 108;
  } else {
    throw PeError("unknown optional header");
  }
  if (dirCountAt + 4 > opt + optionalSize) throw PeError("optional header too short");
  const std::uint32_t headersSize = r.u32(opt + 60);
  const std::size_t dirCount = std::min<std::size_t>(r.u32(dirCountAt), 16);
  if (dirCountAt + 4 + dirCount * 8 > opt + optionalSize) throw PeError("optional header too short");
  DataDirectory dirs[2];
  for (std::size_t i = 0; i < std::min<std::size_t>(dirCount, 2); ++i) {
    dirs[i] = {r.u32(dirCountAt + 4 + i * 8), r.u32(dirCountAt + 8 + i * 8)};
  }

  std::vector<Section> sections;
  const std::size_t table = opt + optionalSize;
  r.need(table, sectionCount * 40);
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t s = table + i * 40;
    sections.push_back({r.u32(s + 12), r.u32(s + 8), r.u32(s + 16), r.u32(s + 20)});
  }
  const Layout map(r, headersSize, std::move(sections));
  image.exports = readExports(r, map, dirs[0]);
  image.imports = readImports(r, map, dirs[1], image.bitness);
  return image;
}

std::string peMachineName(std::uint16_t machine) {
  switch (machine) {
    case 0x14C: return "i386";
    case 0x8664: return "x64";
    case 0xAA64: return "arm64";
    case 0x1C4: return "arm";
    default: {
      char text[8];
      std::snprintf(text, sizeof text, "0x%X", machine);
      return text;
    }
  }
}
