// version_resource_win.cpp: GetFileVersionInfo and the string table of the resource's first language.
#include "version_resource_win.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "win/utf8_wide.h"

namespace {

std::string stringValue(const std::vector<std::uint8_t>& block, WORD language, WORD codePage, const wchar_t* name) {
  wchar_t query[96];
  std::swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), query, &value, &length) || value == nullptr || length == 0) return {};
  std::wstring text(static_cast<const wchar_t*>(value), length);
  while (!text.empty() && text.back() == L'\0') text.pop_back();
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
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= sizeof(Translation)) {
    const auto* t = static_cast<const Translation*>(value);
    out.productVersion = stringValue(block, t->language, t->codePage, L"ProductVersion");
    out.fileDescription = stringValue(block, t->language, t->codePage, L"FileDescription");
  }
  if (out.productVersion.empty() && VerQueryValueW(block.data(), L"\\", &value, &length) &&
      length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* f = static_cast<const VS_FIXEDFILEINFO*>(value);
    char text[48];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(f->dwProductVersionMS)),
                  static_cast<unsigned long>(LOWORD(f->dwProductVersionMS)),
                  static_cast<unsigned long>(HIWORD(f->dwProductVersionLS)),
                  static_cast<unsigned long>(LOWORD(f->dwProductVersionLS)));
    out.productVersion = text;
  }
  return out;
}
