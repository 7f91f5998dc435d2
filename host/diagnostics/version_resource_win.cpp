// version_resource_win.cpp: GetFileVersionInfo and the string table of the resource's first language.
// Every value VerQueryValue finds is read only as far as the block holds it.
#include "version_resource_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "win/utf8_wide.h"

namespace {

// The bytes at value that lie inside block, at most claimed: a malformed resource can claim a length past
// its block's end. Zero when value does not point into the block.
std::size_t bytesInBlock(const std::vector<std::uint8_t>& block, const void* value, std::size_t claimed) {
  const auto begin = reinterpret_cast<std::uintptr_t>(block.data());
  const auto at = reinterpret_cast<std::uintptr_t>(value);
  if (value == nullptr || at < begin || at - begin >= block.size()) return 0;
  return std::min(claimed, block.size() - (at - begin));
}

// A value of the block found by query, if it lies in the block with at least `bytes` bytes.
const void* fixedValue(const std::vector<std::uint8_t>& block, const wchar_t* query, std::size_t bytes) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), query, &value, &length) || length < bytes) return nullptr;
  return bytesInBlock(block, value, bytes) == bytes ? value : nullptr;
}

std::string stringValue(const std::vector<std::uint8_t>& block, WORD language, WORD codePage, const wchar_t* name) {
  wchar_t query[96];
  std::swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
  void* value = nullptr;
  UINT length = 0;  // in characters, the terminating NUL included
  if (!VerQueryValueW(block.data(), query, &value, &length)) return {};
  const std::size_t characters = bytesInBlock(block, value, std::size_t{length} * sizeof(wchar_t)) / sizeof(wchar_t);
  std::wstring text(static_cast<const wchar_t*>(value), characters);
  text.resize(std::min(text.find(L'\0'), text.size()));
  return velmar::win::utf8FromWide(text);
}

}  // namespace

VersionResource readVersionResource(const std::wstring& path) {
  VersionResource out;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return out;
  std::vector<std::uint8_t> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return out;
  out.present = true;

  struct Translation {
    WORD language, codePage;
  };
  if (const auto* t = static_cast<const Translation*>(fixedValue(block, L"\\VarFileInfo\\Translation", sizeof(Translation)))) {
    out.productVersion = stringValue(block, t->language, t->codePage, L"ProductVersion");
    out.fileDescription = stringValue(block, t->language, t->codePage, L"FileDescription");
  }
  const auto* f = static_cast<const VS_FIXEDFILEINFO*>(fixedValue(block, L"\\", sizeof(VS_FIXEDFILEINFO)));
  if (out.productVersion.empty() && f) {
    char text[48];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(f->dwProductVersionMS)),
                  static_cast<unsigned long>(LOWORD(f->dwProductVersionMS)),
                  static_cast<unsigned long>(HIWORD(f->dwProductVersionLS)),
                  static_cast<unsigned long>(LOWORD(f->dwProductVersionLS)));
    out.productVersion = text;
  }
  return out;
}
