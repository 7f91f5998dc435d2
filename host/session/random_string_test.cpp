#include "random_string.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "capture_command.h"

namespace {

TEST(RandomString, DrawsOnlyFromTheAlphabet) {
  const std::string alphabet = PIPE_NAME_CHARS;
  for (int i = 0; i < 50; ++i) {
    const std::string s = randomString(24, alphabet);
    ASSERT_EQ(s.size(), 24u);
    EXPECT_EQ(s.find_first_not_of(alphabet), std::string::npos) << s;
  }
  EXPECT_EQ(randomString(5, "x"), "xxxxx");
  EXPECT_EQ(randomString(0, "ab"), "");
}

TEST(RandomString, ConsecutiveCallsDiffer) {
  // 24 draws from 62 characters: a repeat among 20 names means the engines were not freshly seeded.
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) names.insert(randomString(24, PIPE_NAME_CHARS));
  EXPECT_EQ(names.size(), 20u);
}

TEST(RandomString, UsesTheWholeAlphabet) {
  std::set<char> seen;
  for (int i = 0; i < 40; ++i) {
    for (char c : randomString(24, PIPE_NAME_CHARS)) seen.insert(c);
  }
  EXPECT_EQ(seen.size(), 62u);  // 960 draws miss one of 62 characters with probability below 1e-4
}

TEST(RandomString, EmptyAlphabetFailsEvenForNothing) {
  for (unsigned count : {0u, 3u}) {
    try {
      randomString(count, "");
      ADD_FAILURE() << "no error for count " << count;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "invalid argument for chars: must not be empty");
    }
  }
}

}  // namespace
