#include "dermis_resources_win.h"

#include <gtest/gtest.h>

namespace one {
namespace {

TEST(DermisResources, SingletonKeepsTheFirstInstanceHandle) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  DermisResources& first = DermisResources::instance(module);
  DermisResources& second = DermisResources::instance(nullptr);
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(second.moduleInstance(), module);
}

TEST(Resources, ReleaseDeletesTheObjectsThatAreSet) {
  Resources resources(nullptr);
  const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(pen, nullptr);
  resources.setObject(0, brush);
  resources.setObject(3, pen);
  resources.release();
  for (std::size_t i = 0; i < Resources::kSlots; ++i) EXPECT_EQ(resources.object(i), nullptr);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectType(pen), 0u);
  resources.release();  // nothing set: nothing to do
}

TEST(Resources, DestructorReleases) {
  const HBRUSH brush = CreateSolidBrush(RGB(7, 8, 9));
  {
    Resources resources(nullptr);
    resources.setObject(1, brush);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  }
  EXPECT_EQ(GetObjectType(brush), 0u);
}

}  // namespace
}  // namespace one
