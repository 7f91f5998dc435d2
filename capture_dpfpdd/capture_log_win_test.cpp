// capture_log_win_test.cpp: CaptureLog's file under Wine: byte order mark once, appended lines, levels,
// the format-text fall-back, relocation with its bare line break, and logSystemError's number.
#include "capture_log_win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace capture_b {
namespace {

class CaptureLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"capture_log_test_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
    CreateDirectoryW((dir_ + L"moved\\").c_str(), nullptr);
    log_.relocate(dir_);
    DeleteFileW(log_.fileName().c_str());
  }
  void TearDown() override {
    DeleteFileW(log_.fileName().c_str());
    DeleteFileW((dir_ + name()).c_str());
    RemoveDirectoryW((dir_ + L"moved\\").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring name() const {
    const std::wstring f = log_.fileName();
    return f.substr(f.find_last_of(L'\\') + 1);
  }
  // The file as bytes, and its text after the byte order mark.
  static std::string bytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::wstring text(const std::wstring& path) {
    const std::string b = bytes(path);
    std::wstring t;
    for (size_t i = 2; i + 1 < b.size(); i += 2) {
      t += static_cast<wchar_t>(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8));
    }
    return t;
  }
  static size_t count(const std::wstring& t, const std::wstring& what) {
    size_t n = 0;
    for (size_t at = t.find(what); at != std::wstring::npos; at = t.find(what, at + 1)) ++n;
    return n;
  }

  CaptureLog log_;
  std::wstring dir_;
};

TEST_F(CaptureLogFile, ByteOrderMarkOnceThenAppendedLines) {
  EXPECT_EQ(log_.fileName(), dir_ + name());
  EXPECT_EQ(name().rfind(L"logdev-", 0), 0u);
  log_.info(L"dispositivo abierto");
  log_.error(L"ERROR dpfpdd_open: %d", 96075806);
  const std::string b = bytes(log_.fileName());
  ASSERT_GE(b.size(), 2u);
  EXPECT_EQ(b.substr(0, 2), "\xFF\xFE");
  const std::wstring t = text(log_.fileName());
  EXPECT_EQ(count(t, L"\uFEFF"), 0u);
  EXPECT_EQ(count(t, L"\r\n"), 2u);
  EXPECT_NE(t.find(L"\tINF\tdispositivo abierto\r\n"), std::wstring::npos);
  EXPECT_NE(t.find(L"\tERR\tERROR dpfpdd_open: 96075806\r\n"), std::wstring::npos);
}

TEST_F(CaptureLogFile, LevelsFilterAndOverlongMessagesFallBack) {
  log_.setLevel(LOG_LEVEL_INFO);
  log_.debug(L"hidden debug");
  log_.info(L"shown info");
  log_.setLevel(LOG_LEVEL_ERROR);
  log_.warning(L"hidden warning");
  const std::wstring big(1100, L'x');
  log_.error(L"big %ls", big.c_str());
  log_.setLevel(LOG_LEVEL_DEBUG);
  const std::wstring t = text(log_.fileName());
  EXPECT_EQ(t.find(L"hidden"), std::wstring::npos);
  EXPECT_NE(t.find(L"shown info"), std::wstring::npos);
  EXPECT_NE(t.find(L"\tERR\tbig %ls\r\n"), std::wstring::npos) << "the format text stands in";
}

TEST_F(CaptureLogFile, RelocationStartsWithABareLineBreak) {
  log_.info(L"before");
  const std::wstring oldFile = log_.fileName();
  log_.relocate(dir_ + L"moved\\");
  log_.write(L"\r\n", LOG_LEVEL_ERROR, false);
  log_.info(L"after");
  EXPECT_EQ(log_.fileName(), dir_ + L"moved\\" + name());
  const std::wstring moved = text(log_.fileName());
  EXPECT_EQ(moved.substr(0, 2), L"\r\n");
  EXPECT_NE(moved.find(L"after"), std::wstring::npos);
  EXPECT_EQ(moved.find(L"before"), std::wstring::npos);
  EXPECT_NE(text(oldFile).find(L"before"), std::wstring::npos);
  DeleteFileW(oldFile.c_str());
}

TEST_F(CaptureLogFile, SystemErrorNamesTheCallAndItsNumber) {
  const std::wstring missing = dir_ + L"no-such-folder\\file.txt";
  HANDLE h = CreateFileW(missing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(h, INVALID_HANDLE_VALUE);
  log_.logSystemError(L"CreateFile");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "the caller's error survives the line";
  EXPECT_NE(text(log_.fileName()).find(L"\tERR\tERROR 'CreateFile' falló con error 3: '"), std::wstring::npos);
}

}  // namespace
}  // namespace capture_b
