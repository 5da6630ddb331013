#include <gtest/gtest.h>

#include "PatternBox.h"

namespace {

PatternBox box(const arrint& a, const arrint& b) {
  PatternBox pattern(static_cast<std::int32_t>(a.size()));
  pattern.a = a;
  pattern.b = b;
  return pattern;
}

}  // namespace

TEST(PatternBox, Dominance) {
  EXPECT_EQ(dominance({1, 2}, {1, 3}), 1);
  EXPECT_EQ(dominance({1, 2}, {1, 2}), 0);
  EXPECT_EQ(dominance({1, 2}, {0, 5}), -1);
  EXPECT_EQ(dominance({}, {}), 0);
}

TEST(PatternBox, AbsorbedByAContainingOrEqualBoxOnly) {
  PatternBox inner = box({1, 1}, {2, 2});
  PatternBoxList list;
  EXPECT_FALSE(inner.containedIn(list));
  list.add("overlap", std::make_unique<PatternBox>(box({0, 0}, {3, 1})));
  EXPECT_FALSE(inner.containedIn(list));
  list.add("outer", std::make_unique<PatternBox>(box({0, 1}, {3, 2})));
  EXPECT_TRUE(inner.containedIn(list));
  PatternBoxList equals;
  equals.add("equal", std::make_unique<PatternBox>(box({1, 1}, {2, 2})));
  EXPECT_TRUE(inner.containedIn(equals));
}

TEST(PatternBox, Text) {
  PatternBox one = box({0}, {5});
  one.setAttributes({2});
  EXPECT_EQ(one.toStr(), "0:5:2");
  PatternBox two = box({1, 0}, {3, 2});
  EXPECT_EQ(two.toStr(), "1:3:0,0:2:0");
  two.setAttributes({0, 4});
  EXPECT_EQ(two.toStr(), "1:3:0,0:2:4");
  EXPECT_EQ(PatternBox(0).toStr(), "");
}
