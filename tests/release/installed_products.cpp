// installed_products UPGRADE_CODE: lists the products Windows Installer has registered under one
// upgrade code, one line each: "<product code>|<version>|<name>|<install location>", as Add/Remove
// Programs shows them. Prints nothing when none is installed. Exit 1 when the query itself fails.
#include <windows.h>
#include <msi.h>

#include <cstdio>
#include <string>

#include "win/utf8_wide.h"

namespace {

std::string property(const wchar_t* product, const wchar_t* name) {
  wchar_t value[1024];
  DWORD length = 1024;
  if (MsiGetProductInfoW(product, name, value, &length) != ERROR_SUCCESS) return "?";
  return velmar::win::utf8FromWide(value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: installed_products UPGRADE_CODE\n");
    return 2;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t product[39];
    const UINT status = MsiEnumRelatedProductsW(argv[1], 0, index, product);
    if (status == ERROR_NO_MORE_ITEMS) return 0;
    if (status != ERROR_SUCCESS) {
      std::fprintf(stderr, "MsiEnumRelatedProducts failed with %u\n", status);
      return 1;
    }
    std::printf("%s|%s|%s|%s\n", velmar::win::utf8FromWide(product).c_str(),
                property(product, INSTALLPROPERTY_VERSIONSTRING).c_str(),
                property(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME).c_str(),
                property(product, INSTALLPROPERTY_INSTALLLOCATION).c_str());
  }
}
