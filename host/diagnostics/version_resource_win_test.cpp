// version_resource_win_test.cpp: reading version resources back from files, under Wine, malformed
// ones included.
#include "version_resource_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

namespace {

std::vector<std::uint8_t> readBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  std::uint8_t buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

// A copy of the stand-in-shaped library whose "ProductVersion" string claims far more characters than
// its version block holds.
std::wstring libraryWithOverlongProductVersion() {
  std::vector<std::uint8_t> bytes = readBytes(fixturePath("x86_64", "full"));
  const std::u16string key = u"ProductVersion";
  const auto* k = reinterpret_cast<const std::uint8_t*>(key.c_str());
  const auto at = std::search(bytes.begin(), bytes.end(), k, k + (key.size() + 1) * 2);
  if (at == bytes.end() || at - bytes.begin() < 6) return {};
  const std::size_t valueLength = static_cast<std::size_t>(at - bytes.begin()) - 4;  // wLength, wValueLength, wType
  bytes[valueLength] = 0xFF;
  bytes[valueLength + 1] = 0x7F;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"velmar-overlong-version-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return {};
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

TEST(VersionResource, AValueIsReadOnlyAsFarAsItsBlock) {
  const std::wstring path = libraryWithOverlongProductVersion();
  ASSERT_FALSE(path.empty()) << "no ProductVersion in the test library";
  const VersionResource v = readVersionResource(path);
  DeleteFileW(path.c_str());
  EXPECT_TRUE(v.present);
  EXPECT_EQ(v.productVersion, "0.1.0");
  EXPECT_TRUE(describesStandIn(v.fileDescription)) << v.fileDescription;
}

}  // namespace
