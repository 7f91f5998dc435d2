// version_resource_win_test.cpp: reading version resources back from files, under Wine.
#include "version_resource_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "pe_fixtures.h"

namespace {

TEST(VersionResource, ReadsTheProductVersionOfASystemLibrary) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const VersionResource v = readVersionResource(std::wstring(system) + L"\\kernel32.dll");
  EXPECT_TRUE(v.present);
  EXPECT_FALSE(v.productVersion.empty());
  EXPECT_FALSE(v.fileDescription.empty());
}

TEST(VersionResource, AFileWithoutOneOrAMissingFileHasNone) {
  const std::string fixture = std::string("Z:") + VELMAR_FIXTURE_DIR + "/x86_64/full/ftrScanAPI.dll";
  for (const std::wstring& path : {std::wstring(fixture.begin(), fixture.end()), std::wstring(L"C:\\no\\such.dll")}) {
    const VersionResource v = readVersionResource(path);
    EXPECT_FALSE(v.present);
    EXPECT_TRUE(v.productVersion.empty());
  }
}

}  // namespace
