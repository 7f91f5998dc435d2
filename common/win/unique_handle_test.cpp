#include "win/unique_handle.h"

#include <gtest/gtest.h>

#include "win/last_error.h"

namespace velmar::win {
namespace {

TEST(UniqueHandle, ClosesOnceAndKeepsLastError) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  HANDLE copy = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), raw, GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  {
    UniqueHandle owner(raw);
    EXPECT_TRUE(owner);
    SetLastError(231);
  }
  EXPECT_EQ(GetLastError(), 231u) << "closing must not clobber the error being reported";
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(raw, &flags)) << "the owned handle is closed";
  EXPECT_TRUE(GetHandleInformation(copy, &flags)) << "an unrelated handle stays open";
  CloseHandle(copy);
}

TEST(UniqueHandle, InvalidValuesAreEmptyAndMoveTransfers) {
  EXPECT_FALSE(UniqueHandle());
  EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE));
  UniqueHandle a(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE raw = a.get();
  UniqueHandle b(std::move(a));
  EXPECT_FALSE(a);
  EXPECT_EQ(b.get(), raw);
}

TEST(ScopeExit, RunsUnlessReleased) {
  int runs = 0;
  { ScopeExit g([&] { ++runs; }); }
  {
    ScopeExit g([&] { ++runs; });
    g.release();
  }
  EXPECT_EQ(runs, 1);
}

TEST(LastError, BecomesTheApiFailureText) {
  SetLastError(3);
  try {
    throwLastError("CreateFile");
    FAIL();
  } catch (const ApiError& e) {
    EXPECT_STREQ(e.what(), "CreateFile failed with 3");
    EXPECT_EQ(e.code(), 3u);
  }
}

}  // namespace
}  // namespace velmar::win
