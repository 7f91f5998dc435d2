// version_info: prints the version resource of each file named on the command line, one line per file:
//   <file>|<fixed file version a.b.c.d>|<fixed product version>|FileVersion|ProductVersion|ProductName|CompanyName|FileDescription
// read with GetFileVersionInfoW and VerQueryValueW as Explorer's Details tab does. A file without a
// version resource gives "<file>|none"; the exit code is then 1. Output is UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win/utf8_wide.h"

namespace {

std::string dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

// One string of the first translation the resource lists.
std::string stringValue(const std::vector<BYTE>& block, const std::wstring& language, const wchar_t* name) {
  const std::wstring path = L"\\StringFileInfo\\" + language + L"\\" + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return "?";
  return velmar::win::utf8FromWide(value);
}

bool printOne(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(file, 0, size, block.data())) {
    std::printf("%s|none\n", velmar::win::utf8FromWide(file).c_str());
    return false;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) {
    std::printf("%s|none\n", velmar::win::utf8FromWide(file).c_str());
    return false;
  }
  struct Translation { WORD language, codePage; };
  Translation* translations = nullptr;
  std::wstring language = L"040904B0";
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                     &length) && length >= sizeof(Translation)) {
    wchar_t text[9];
    swprintf(text, 9, L"%04X%04X", translations[0].language, translations[0].codePage);
    language = text;
  }
  std::printf("%s|%s|%s", velmar::win::utf8FromWide(file).c_str(), dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
              dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"CompanyName", L"FileDescription"})
    std::printf("|%s", stringValue(block, language, name).c_str());
  std::printf("\n");
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool all = true;
  for (int i = 1; i < argc; ++i) all = printOne(argv[i]) && all;
  return all ? 0 : 1;
}
