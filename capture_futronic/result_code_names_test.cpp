#include "result_code_names.h"

#include <gtest/gtest.h>

namespace one {
namespace {

TEST(ResultCodeName, EveryNamedCode) {
  const struct { int32_t code; const wchar_t* name; } cases[] = {
      {0, L"DEV_SUCCESS"},
      {101, L"DEV_ERR_JAVA_NOT_FOUND"},
      {102, L"DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED"},
      {103, L"DEV_ERR_JAVA_VERSION_NOT_SUPPORTED"},
      {104, L"DEV_ERR_OS_NOT_SUPPORTED"},
      {105, L"DEV_ERR_APP_NOT_FOUND"},
      {106, L"DEV_ERR_APP_INVALID_REGISTRY"},
      {107, L"DEV_ERR_APP_NOT_INITIALIZED"},
      {108, L"DEV_ERR_APP_NOT_FOUND_FILE"},
      {109, L"DEV_ERR_DRIVER_INVALID"},
      {110, L"DEV_ERR_DLL_INVALID"},
      {111, L"DEV_ERR_DRIVER_NOT_SUPPORTED"},
      {112, L"DEV_ERR_DRIVER_TEST_FAILED"},
      {113, L"DEV_ERR_DRIVER_NOT_FOUND"},
      {201, L"DEV_ERR_NOT_CONNECTED"},
      {202, L"DEV_ERR_ALREADY_RUNNING"},
      {203, L"DEV_ERR_TIMEOUT"},
      {204, L"DEV_ERR_WRONG_FINGERPRINT"},
      {205, L"DEV_ERR_JAVA_LOCKED"},
      {206, L"DEV_ERR_DIRTY"},
      {207, L"DEV_ERR_CAPTURE_TOO_EARLY"},
      {208, L"DEV_ERR_CANCELLED"},
      {210, L"DEV_ERR_WSQ_CONVERSION"},
      {211, L"DEV_ERR_INTERNAL_APP"},
      {212, L"DEV_ERR_INTERNAL_DEVICE"},
      {213, L"DEV_ERR_USB_FAILURE"},
      {214, L"DEV_ERR_NOT_DETECTED"},
      {215, L"DEV_ERR_FAKE_FINGER"},
      {216, L"DEV_ERR_FAULTY_FINGER"},
      {217, L"DEV_ERR_LOCKED_DEVICE"},
      {219, L"DEV_ERR_INIT_FAIL_NBIOF"},
      {220, L"DEV_ERR_DLL_INVALID_PLATFORM"},
      {299, L"DEV_ERR_FAILURE"},
  };
  for (const auto& c : cases) EXPECT_EQ(resultCodeName(c.code), c.name) << c.code;
}

TEST(ResultCodeName, OthersAreUnknown) {
  for (int32_t code : {209, 218, 221, 114, 100, 200, 255, 43, -1, 300})
    EXPECT_EQ(resultCodeName(code), L"UNKNOWN") << code;
}

}  // namespace
}  // namespace one
