#include <gtest/gtest.h>

#include "LadError.h"
#include "TestLists.h"
#include "TextRoutines.h"

TEST(TextRoutines, TextBeforeEquals) {
  EXPECT_EQ(textBeforeEquals("Attributes=x,y"), "Attributes");
  EXPECT_EQ(textBeforeEquals("abc"), "");
  EXPECT_EQ(textBeforeEquals("=x"), "");
}

TEST(TextRoutines, SplitAtFirstKeepsOutputsWhenAbsent) {
  std::string left = "L";
  std::string right = "R";
  splitAtFirst("a=b=c", "=", left, right);
  EXPECT_EQ(left, "a");
  EXPECT_EQ(right, "b=c");
  left = "L";
  right = "R";
  splitAtFirst("abc", "=", left, right);
  splitAtFirst("abc", "", left, right);
  EXPECT_EQ(left, "L");
  EXPECT_EQ(right, "R");
}

TEST(TextRoutines, Replacestr) {
  EXPECT_EQ(replacestr("aab", "ab", "b", true), "b");
  EXPECT_EQ(replacestr("aab", "ab", "b", false), "ab");
  EXPECT_EQ(replacestr("aab", "", "b", true), "aab");
  EXPECT_EQ(replacestr("x,y,z", ",", ";", true), "x;y;z");
  EXPECT_EQ(replacestr("aaaa", "aa", "a", true), "a");
  // A replacement that contains the searched text ends instead of looping forever.
  EXPECT_EQ(replacestr("a-b", "-", "--", true), "a--b");
  EXPECT_EQ(replacestr("ab", "a", "aa", true), "aab");
}

TEST(TextRoutines, FullStopRule) {
  EXPECT_EQ(messageWithFullStop("Range check error"), "Range check error.");
  EXPECT_EQ(messageWithFullStop("'' is not a valid floating point value"),
            "'' is not a valid floating point value.");
  EXPECT_EQ(messageWithFullStop("done."), "done.");
  EXPECT_EQ(messageWithFullStop("(x)"), "(x)");
  EXPECT_EQ(messageWithFullStop("quoted \"x\""), "quoted \"x\"");
  EXPECT_EQ(messageWithFullStop("3"), "3.");
  EXPECT_EQ(messageWithFullStop(""), "");
}
