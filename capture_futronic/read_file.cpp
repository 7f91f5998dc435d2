// read_file.cpp: whole-file read in 4096-byte pieces.
#include "read_file.h"

#include <windows.h>

#include "win/unique_handle.h"

namespace one {

bool readFile(const std::wstring& fileName, std::vector<std::uint8_t>& bytes) {
  if (fileName.empty() || !bytes.empty()) return false;
  velmar::win::UniqueHandle file(
      CreateFileW(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  constexpr std::size_t kPiece = 4096;
  std::size_t used = 0;
  bool ok = true;
  bytes.resize(kPiece);
  while (true) {
    if (bytes.size() - used < kPiece) bytes.resize(bytes.size() * 2);
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + used, static_cast<DWORD>(kPiece), &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    used += got;
  }
  bytes.resize(used);
  return ok;
}

}  // namespace one
