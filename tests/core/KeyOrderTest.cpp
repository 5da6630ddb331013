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

// The comparison reads eight bytes at a time: a difference at any position, before, within
// or after a word, in the lead bytes that move, or only in the length, must order as a
// byte-by-byte comparison of the weights does.
TEST(KeyOrder, LongKeysOrderAsTheirFirstDifferentByte) {
  const std::string base = ",,,,,,,,,,>=0.125 & <0.5,,,,,,,";
  const char replacements[] = {'\x00', ',',    '<',    '>',    'z',   '\x7F',
                               '\xC3', '\xEE', '\xEF', '\xF0', '\xFF'};
  for (std::size_t at = 0; at < base.size(); ++at) {
    for (const char c : replacements) {
      std::string other = base;
      other[at] = c;
      const auto rank = [](char byte) {
        const auto u = static_cast<unsigned char>(byte);
        return u < 0xEE ? u : u >= 0xF0 ? u - 2u : u + 0x10u;
      };
      const int expected = c == base[at] ? 0 : rank(base[at]) < rank(c) ? -1 : 1;
      const int got = compareKeys(base, other);
      EXPECT_EQ(got < 0 ? -1 : got > 0 ? 1 : 0, expected) << "byte " << at;
      EXPECT_EQ(compareKeys(other, base) < 0 ? 1 : compareKeys(other, base) > 0 ? -1 : 0, expected);
    }
    EXPECT_LT(compareKeys(base.substr(0, at), base), 0) << "prefix of " << at;
  }
}
