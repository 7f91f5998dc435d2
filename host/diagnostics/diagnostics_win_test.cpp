// diagnostics_win_test.cpp: the probes that share process-wide state with the host: GDI+ (with the JPEG
// encoder) and the log folders (with the environment).
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <mutex>

#include "image_encoder_win.h"
#include "jpeg_probe_win.h"
#include "win/user_folders.h"

namespace {

// While the encoder holds the GDI+ lock, the probe neither starts nor shuts down GDI+: it waits.
TEST(JpegProbe, WaitsForTheEncodersLock) {
  std::unique_lock<std::mutex> encoder(gdiplusLock());
  auto probe = std::async(std::launch::async, probeJpeg);
  EXPECT_EQ(probe.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  encoder.unlock();
  const JpegFacts facts = probe.get();
  EXPECT_TRUE(facts.gdiplusStarted);
  EXPECT_TRUE(facts.encoderFound) << facts.error;
}

class LocalAppData : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 1024);
    if (n > 0 && n < 1024) saved_ = std::wstring(buffer, n);
  }
  void TearDown() override { SetEnvironmentVariableW(L"LOCALAPPDATA", saved_.empty() ? nullptr : saved_.c_str()); }

 private:
  std::wstring saved_;
};

TEST_F(LocalAppData, EachProgramHasItsFolderUnderTheEnvironmentsOrTheKnownFolder) {
  SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\ana\\AppData\\Local\\");
  EXPECT_EQ(velmar::win::programFolderPath(L"velmar-capture-a"), L"C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-capture-a");

  SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
  const std::wstring known = velmar::win::localAppDataFolder();
  ASSERT_FALSE(known.empty());
  EXPECT_NE(known.back(), L'\\');
  const DWORD attributes = GetFileAttributesW(known.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << "not a folder";
  EXPECT_EQ(velmar::win::programFolderPath(L"velmar-device"), known + L"\\velmar\\velmar-device");
}

}  // namespace
