// windows_libraries_test.cpp: which imported names are Windows' own.
#include "windows_libraries.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsLibraries, WindowsOwnInAnyCaseAndTheApiSets) {
  for (const char* name : {"KERNEL32.dll", "kernel32.dll", "USER32.dll", "GDI32.dll", "ADVAPI32.dll", "msvcrt.dll",
                           "gdiplus.dll", "WINSPOOL.DRV", "api-ms-win-crt-runtime-l1-1-0.dll",
                           "ext-ms-win-ntuser-window-l1-1-0.dll"}) {
    EXPECT_TRUE(isWindowsLibraryName(name)) << name;
  }
  // The vendors' libraries, the C++ redistributable's and near misses are not.
  for (const char* name : {"ftrScanAPI.dll", "dpfpdd.dll", "vcruntime140.dll", "msvcp140.dll", "kernel32",
                           "kernel32.dll.bak", "mykernel32.dll", "api-ms-win", ""}) {
    EXPECT_FALSE(isWindowsLibraryName(name)) << name;
  }
}

}  // namespace
