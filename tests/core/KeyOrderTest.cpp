#include <gtest/gtest.h>

#include "KeyOrder.h"

TEST(KeyOrder, OrdinalByteOrderWithPrefixFirst) {
  EXPECT_LT(compareKeys("", "a"), 0);
  EXPECT_LT(compareKeys("a", "ab"), 0);
  EXPECT_LT(compareKeys("B", "a"), 0);  // case-sensitive, no folding
  EXPECT_LT(compareKeys(",,<1", ",,>=1"), 0);
  EXPECT_EQ(compareKeys("abc", "abc"), 0);
  EXPECT_GT(compareKeys("b", "abc"), 0);
}

TEST(KeyOrder, SupplementaryPlaneSortsBelowPrivateUseAsInUtf16) {
  const std::string privateUse = "\xEE\x80\x80";   // U+E000
  const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
  const std::string emoji = "\xF0\x9F\x98\x80";    // U+1F600, a surrogate pair in UTF-16
  const std::string cjk = "\xE4\xB8\x80";          // U+4E00
  EXPECT_LT(compareKeys(emoji, privateUse), 0);
  EXPECT_LT(compareKeys(emoji, replacement), 0);
  EXPECT_LT(compareKeys(cjk, emoji), 0);
  EXPECT_LT(compareKeys("z", cjk), 0);
}
