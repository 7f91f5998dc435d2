// version_resource_win_test.cpp: reading version resources back from files, under Wine.
#include "version_resource_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "diagnostic_facts.h"

namespace {

TEST(VersionResource, ReadsTheProductVersionOfASystemLibrary) {
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const VersionResource v = readVersionResource(std::wstring(system) + L"\\kernel32.dll");
  EXPECT_TRUE(v.present);
  EXPECT_FALSE(v.productVersion.empty());
  EXPECT_FALSE(v.fileDescription.empty());
}

std::wstring fixturePath(const char* arch, const char* variant) {
  const std::string path = std::string("Z:") + VELMAR_FIXTURE_DIR + "/" + arch + "/" + variant + "/ftrScanAPI.dll";
  return std::wstring(path.begin(), path.end());
}

TEST(VersionResource, ReadsALibrarysDescriptionInEitherBitness) {
  for (const char* arch : {"x86_64", "i686"}) {
    SCOPED_TRACE(arch);
    const VersionResource v = readVersionResource(fixturePath(arch, "full"));
    EXPECT_TRUE(v.present);
    EXPECT_EQ(v.productVersion, "0.1.0");
    EXPECT_TRUE(describesStandIn(v.fileDescription)) << v.fileDescription;
  }
}

TEST(VersionResource, AFileWithoutOneOrAMissingFileHasNone) {
  for (const std::wstring& path : {fixturePath("x86_64", "without_17"), std::wstring(L"C:\\no\\such.dll")}) {
    const VersionResource v = readVersionResource(path);
    EXPECT_FALSE(v.present);
    EXPECT_TRUE(v.productVersion.empty());
  }
}

}  // namespace
