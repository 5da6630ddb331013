#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

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

// Keys of comma runs of every length (past 255 too) and bytes below, at and above the comma
// and in the lead bytes that move: wherever two keys' numbers differ, they order the keys as
// compareKeys does.
TEST(KeyOrder, CodesNeverContradictTheKeyOrder) {
  std::mt19937 random(5);
  const char bytes[] = {',', '\x00', ' ',    '+',    '-',    '<',    '>',   '0',
                        '9', 'z',    '\xC3', '\xEE', '\xEF', '\xF0', '\xFF'};
  std::vector<std::string> keys = {"", ",", ",,", "a", ",a", ",,\x01"};
  for (int i = 0; i < 600; ++i) {
    const int run =
        i % 10 == 0 ? 250 + static_cast<int>(random() % 10) : static_cast<int>(random() % 6);
    std::string key(static_cast<std::size_t>(run), ',');
    const auto tail = random() % 9;
    for (std::size_t j = 0; j < tail; ++j) key += bytes[random() % std::size(bytes)];
    keys.push_back(key);
  }
  int decided = 0;
  for (const std::string& a : keys) {
    for (const std::string& b : keys) {
      if (keyOrderCode(a) < keyOrderCode(b)) {
        ASSERT_LT(compareKeys(a, b), 0) << "'" << a << "' against '" << b << "'";
        ++decided;
      }
    }
  }
  EXPECT_GT(decided,
            static_cast<int>(keys.size() * keys.size() / 3));  // the codes do decide most pairs
}
