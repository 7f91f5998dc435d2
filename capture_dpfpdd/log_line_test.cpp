// log_line_test.cpp: velmar-capture-b's log line format.
#include "log_line.h"

#include <gtest/gtest.h>

namespace capture_b {
namespace {

const LocalTime kJan5{2024, 1, 5, 9, 30, 15};

TEST(LogLine, KnownLineWithChecksum) {
  EXPECT_EQ(logLine(kJan5, 0x12F4, LOG_LEVEL_INFO, L"dispositivo abierto"),
            L"B679704B\t20240105T093015\t0012F4\tINF\tdispositivo abierto\r\n");
}

TEST(LogLine, ChecksumCoversTheLineAfterItsFirstColumn) {
  const std::wstring line = logLine(kJan5, 0xABCDEF1, LOG_LEVEL_ERROR, L"ERROR dpfpdd_open: 96075806");
  const std::wstring rest = line.substr(9);
  EXPECT_EQ(line.substr(0, 8), [&] {
    wchar_t buf[9];
    swprintf(buf, 9, L"%08X", logChecksum(0xABCDEF1, rest));
    return std::wstring(buf);
  }());
  EXPECT_NE(rest.find(L"\tABCDEF1\tERR\t"), std::wstring::npos) << "ids wider than six digits stay whole";
}

TEST(LogLine, TagsAndNames) {
  EXPECT_STREQ(logLevelTag(0), L"ERR");
  EXPECT_STREQ(logLevelTag(1), L"WAR");
  EXPECT_STREQ(logLevelTag(2), L"INF");
  EXPECT_STREQ(logLevelTag(3), L"DEB");
  EXPECT_STREQ(logLevelTag(7), L"  ");
  EXPECT_EQ(logFileName(kJan5), L"logdev-20240105.log");
  EXPECT_EQ(logTime({2026, 12, 31, 23, 5, 9}), L"20261231T230509");
}

std::wstring format(const wchar_t* f, ...) {
  va_list args;
  va_start(args, f);
  std::wstring s = formatLogMessage(f, args);
  va_end(args);
  return s;
}

TEST(LogLine, FormattingAndItsFallBack) {
  EXPECT_EQ(format(L"Intento %d para conectarse a '%ls'...", 2, L"\\\\.\\pipe\\wsq"),
            L"Intento 2 para conectarse a '\\\\.\\pipe\\wsq'...");
  const std::wstring exactly(1024 - 2, L'x');
  EXPECT_EQ(format(L"%ls!!", exactly.c_str()).size(), 1024u) << "1024 characters still fit";
  const std::wstring tooLong(1023, L'y');
  EXPECT_EQ(format(L"long %ls", tooLong.c_str()), L"long %ls") << "the format text stands in";
}

TEST(LogLine, MadeMessagesFallBackToTheirUnformattedText) {
  const std::wstring fits = L"Procesado: -d '" + std::wstring(1024 - 16, L'd') + L"'";
  EXPECT_EQ(fittedLogMessage(fits, L"Procesado: -d '%s'"), fits);
  EXPECT_EQ(fittedLogMessage(fits + L"x", L"Procesado: -d '%s'"), L"Procesado: -d '%s'");
}

TEST(LogLine, RelocatedName) {
  EXPECT_EQ(relocatedLogName(L"C:\\app\\", L"logdev-20240105.log"), L"C:\\app\\logdev-20240105.log");
  EXPECT_EQ(relocatedLogName(L"D:\\x\\", L"C:\\old\\logdev-20240105.log"), L"D:\\x\\logdev-20240105.log");
  EXPECT_EQ(relocatedLogName(L"", L"C:\\old\\logdev-1.log"), L"logdev-1.log");
}

}  // namespace
}  // namespace capture_b
