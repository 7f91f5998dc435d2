#include "result_catalog.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "result_texts.h"

namespace {

// The catalog is what integrators get as the list of codes: it must hold every code that has texts,
// once, in ascending order, each with a name of the code family and a description.
TEST(ResultCatalog, HoldsEveryCodeWithTextsOnceInOrder) {
  std::size_t count = 0;
  const ResultCatalogEntry* entries = resultCatalog(count);
  ASSERT_GT(count, 0u);
  std::set<std::int32_t> listed;
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(entries[i].code);
    if (i > 0) {
      EXPECT_LT(entries[i - 1].code, entries[i].code);
    }
    listed.insert(entries[i].code);
    const std::string name = entries[i].name;
    EXPECT_TRUE(name == "DEV_SUCCESS" || name.rfind("DEV_ERR_", 0) == 0) << name;
    EXPECT_FALSE(std::string(entries[i].when).empty());
    EXPECT_EQ(findResultText(entries[i].code).error == nullptr, entries[i].code == 0);
  }
  EXPECT_EQ(listed.count(0), 1u);
  for (std::int32_t code = 1; code < 1000; ++code) {
    if (findResultText(code).error != nullptr) {
      EXPECT_EQ(listed.count(code), 1u) << code << " has texts";
    }
  }
}

}  // namespace
