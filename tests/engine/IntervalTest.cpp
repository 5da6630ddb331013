#include <gtest/gtest.h>

#include "TInterval.h"

namespace {

TInterval box(const arrint& a, const arrint& b) {
  TInterval pattern(static_cast<std::int32_t>(a.size()));
  pattern.a = a;
  pattern.b = b;
  return pattern;
}

}  // namespace

TEST(TInterval, Dominance) {
  EXPECT_EQ(dominance({1, 2}, {1, 3}), 1);
  EXPECT_EQ(dominance({1, 2}, {1, 2}), 0);
  EXPECT_EQ(dominance({1, 2}, {0, 5}), -1);
  EXPECT_EQ(dominance({}, {}), 0);
}

TEST(TInterval, AbsorbedByAContainingOrEqualBoxOnly) {
  TInterval inner = box({1, 1}, {2, 2});
  TPatternList list;
  EXPECT_FALSE(inner.Absorbed(list));
  list.add("overlap", std::make_unique<TInterval>(box({0, 0}, {3, 1})));
  EXPECT_FALSE(inner.Absorbed(list));
  list.add("outer", std::make_unique<TInterval>(box({0, 1}, {3, 2})));
  EXPECT_TRUE(inner.Absorbed(list));
  TPatternList equals;
  equals.add("equal", std::make_unique<TInterval>(box({1, 1}, {2, 2})));
  EXPECT_TRUE(inner.Absorbed(equals));
}

TEST(TInterval, Text) {
  TInterval one = box({0}, {5});
  one.updatemap({2});
  EXPECT_EQ(one.toStr(), "0:5:2");
  TInterval two = box({1, 0}, {3, 2});
  EXPECT_EQ(two.toStr(), "1:3:0,0:2:0");
  two.updatemap({0, 4});
  EXPECT_EQ(two.toStr(), "1:3:0,0:2:4");
  EXPECT_EQ(TInterval(0).toStr(), "");
}
