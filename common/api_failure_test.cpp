#include "api_failure.h"

#include <gtest/gtest.h>

namespace velmar {
namespace {

TEST(ApiFailure, NamesTheCallAndTheDecimalCode) {
  struct Case { const char* api; unsigned long code; const char* want; };
  const Case cases[] = {
      {"CreateNamedPipe", 231, "CreateNamedPipe failed with 231"},
      {"CreateProcess", 2, "CreateProcess failed with 2"},
      {"GdiplusStartup", 0, "GdiplusStartup failed with 0"},
      // 32-bit codes with the top bit set read as negative numbers.
      {"CoCreate", 0x80004005UL, "CoCreate failed with -2147467259"},
      {"ReadFile", 0xFFFFFFFFUL, "ReadFile failed with -1"},
      {"GetLastError", 0x7FFFFFFFUL, "GetLastError failed with 2147483647"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(apiFailure(c.api, c.code), c.want);
  }
}

TEST(ApiFailure, ErrorCarriesTextAndCode) {
  try {
    throw ApiError("ConnectNamedPipe", 535);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "ConnectNamedPipe failed with 535");
    EXPECT_EQ(dynamic_cast<const ApiError&>(e).code(), 535u);
  }
}

}  // namespace
}  // namespace velmar
