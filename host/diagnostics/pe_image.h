// pe_image.h: what the field diagnostics read from a Windows program or library file: its machine and
// bitness, the libraries and functions it imports, and the functions it exports. Portable: bytes in,
// a plain record out. Every offset and count in the file is checked before it is used, so any file,
// cut short or malformed, gives either the record or a PeError with the reason. The tables are bounded
// far above any real file: past the bounds the reader refuses with "too many imports" (or sections,
// exports) instead of building them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A file that is not a PE image the reader can use; what() says why ("not a PE file", …).
class PeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One imported function: by name (name set, ordinal 0) or by ordinal (name empty).
struct PeImportedFunction {
  std::string name;
  std::uint16_t ordinal = 0;
  bool byOrdinal() const { return name.empty(); }
};

struct PeImportedLibrary {
  std::string name;  // as written in the import table, for example "ftrScanAPI.dll"
  std::vector<PeImportedFunction> functions;
};

struct PeExport {
  std::uint32_t ordinal = 0;
  std::string name;  // empty for a function exported by ordinal only (NONAME)
};

struct PeImage {
  std::uint16_t machine = 0;  // IMAGE_FILE_HEADER.Machine: 0x14C i386, 0x8664 x64, …
  int bitness = 0;            // 32 for PE32, 64 for PE32+ (the optional header's magic)
  bool dll = false;
  std::vector<PeImportedLibrary> imports;
  std::vector<PeExport> exports;

  bool exportsName(const std::string& name) const;
  bool exportsOrdinal(std::uint32_t ordinal) const;
  // Whether this image exports what an importer asks for: a name, or an ordinal.
  bool provides(const PeImportedFunction& f) const;
};

// Reads a PE file image. Throws PeError for anything it cannot read.
PeImage readPeImage(const std::vector<std::uint8_t>& bytes);

// "i386", "x64", "arm64", … or "0x1C4" for a machine without a name here.
std::string peMachineName(std::uint16_t machine);
