#include <gtest/gtest.h>

#include <cmath>

#include "TestLists.h"

namespace {

std::vector<std::string> keysOf(const TextPairList& list) {
  return list.keys;
}

}  // namespace

TEST(TextPairList, ParseKeepsEveryFieldBlanksIncluded) {
  TextPairList list;
  list.parse("a,b,,c,");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"a", "b", "", "c", ""}));
  for (const auto& v : list.vals) EXPECT_EQ(v, "");
  list.parse("");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{""}));
  list.parse(" a , b");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{" a ", " b"}));
  list.delimiter = "";
  list.parse("a,b");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"a,b"}));
}

TEST(TextPairList, ParseWholeAndLongDelimiters) {
  TextPairList list;
  list.delimiter = "::";
  list.parse("x::y::");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"x", "y"}));
  list.delimiter = ",";
  list.parseWhole("");
  EXPECT_EQ(list.size(), 0);
  list.parseWhole(",x");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"", "x"}));
  list.parseWhole("a,b,");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"a", "b"}));
}

TEST(TextPairList, ParsePairsSplitsFieldsAtTheSeparator) {
  TextPairList list;
  list.parsePairs("p=1,q=2=3,r", "=");
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list.keys[0], "p");
  EXPECT_EQ(list.vals[0], "1");
  EXPECT_EQ(list.keys[1], "q");
  EXPECT_EQ(list.vals[1], "2=3");
  EXPECT_EQ(list.keys[2], "r");
  EXPECT_EQ(list.vals[2], "2=3");  // carried from the field before
}

TEST(TextPairList, SortedAndUnsortedInsertion) {
  TextPairList dict;
  dict.sorted = true;
  dict.add("b", "1");
  dict.add("a", "2");
  dict.add("b", "3");
  EXPECT_EQ(keysOf(dict), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(dict.vals, (std::vector<std::string>{"2", "3"}));

  TextPairList seq;
  seq.add("k", "1");
  seq.add("k", "2");
  EXPECT_EQ(seq.size(), 2);
  EXPECT_EQ(seq.find("k", true), 1);
  EXPECT_EQ(seq.find("k", false), 1);
  EXPECT_EQ(seq.get("k"), "2");
  EXPECT_EQ(seq.get("missing"), "");
  seq.remove("k");
  EXPECT_EQ(seq.vals, (std::vector<std::string>{"1"}));
  seq.remove("missing");
  EXPECT_EQ(seq.size(), 1);
}

TEST(TextPairList, NonExactFindGivesThePlaceAfterWhichAKeyBelongs) {
  TextPairList dict;
  dict.sorted = true;
  dict.add("b", "");
  dict.add("d", "");
  EXPECT_EQ(dict.find("c", false), 0);
  EXPECT_EQ(dict.find("a", false), -1);
  EXPECT_EQ(dict.find("e", false), 1);
  EXPECT_EQ(dict.find("c", true), -1);
  TextPairList empty;
  empty.sorted = true;
  EXPECT_EQ(empty.find("x", false), -1);
}

TEST(TextPairList, Joining) {
  TextPairList list;
  list.add("", "");
  list.add("a", "1");
  EXPECT_EQ(list.tostr(), ",a");
  EXPECT_EQ(list.joinPairs("="), "=,a=1");
}

TEST(HeapSort, OrderOfEqualFieldsFollowsTheProcedure) {
  TextPairList four;
  for (const char* k : {"A", "B", "C", "D"}) four.add(k, "same");
  four.heapSortValues();
  EXPECT_EQ(keysOf(four), (std::vector<std::string>{"B", "C", "D", "A"}));
  EXPECT_FALSE(four.sorted);

  TextPairList three;
  three.add("A", "5");
  three.add("B", "3");
  three.add("C", "5");
  three.heapSortValues();
  EXPECT_EQ(keysOf(three), (std::vector<std::string>{"B", "C", "A"}));

  TextPairList texts;
  for (const char* v : {"2", "10", "1"}) texts.add(v, v);
  texts.heapSortValues();
  EXPECT_EQ(texts.vals, (std::vector<std::string>{"1", "10", "2"}));

  TextPairList keys;
  for (const char* k : {"d", "a", "c", "b", "a"}) keys.add(k, "");
  keys.heapSort();
  EXPECT_TRUE(keys.sorted);
  EXPECT_EQ(keysOf(keys), (std::vector<std::string>{"a", "a", "b", "c", "d"}));
}

TEST(TextPairList, ReplaceResortsASortedList) {
  TextPairList list;
  list.sorted = true;
  list.add("xa", "1");
  list.add("yb", "2");
  list.replace("x", "z");
  EXPECT_EQ(keysOf(list), (std::vector<std::string>{"yb", "za"}));
  EXPECT_EQ(list.vals, (std::vector<std::string>{"2", "1"}));
}

TEST(ObjectList, PointersAreNeverOwned) {
  int one = 1;
  int two = 2;
  ObjectList<int> list;
  list.sorted = true;
  list.add("k", &one);
  list.add("k", &two);
  EXPECT_EQ(list.size(), 1);
  EXPECT_EQ(list.get("k"), &two);
  EXPECT_EQ(list.get("nope"), nullptr);

  ObjectList<int> seq;
  seq.add("b", &one);
  seq.add("c", &one);
  seq.insert("k", -1, &two);
  EXPECT_EQ(seq.keys, (std::vector<std::string>{"k", "b", "c"}));
  seq.insert("z", seq.size() - 1, &two);
  EXPECT_EQ(seq.keys.back(), "z");
  seq.deleteAt(0);
  EXPECT_EQ(seq.keys.front(), "b");

  ObjectList<int> joined;
  joined.add("", nullptr);
  joined.add("a", nullptr);
  joined.add("b", nullptr);
  EXPECT_EQ(joined.tostr(), "a,b");
  joined.Clear();
  EXPECT_EQ(joined.tostr(), "");
}

TEST(RankedList, SortsByValueAndSearchesByKey) {
  RankedList list;
  list.add(0, 5);
  list.add(1, 3);
  list.add(2, 5);
  list.heapSortValues();
  EXPECT_EQ(list.vals, (std::vector<double>{3, 5, 5}));
  EXPECT_EQ(list.keys, (std::vector<std::int32_t>{1, 2, 0}));
  EXPECT_FALSE(list.sorted);

  RankedList dict;
  dict.sorted = true;
  for (int k : {7, -5, 0}) dict.add(k, k);
  EXPECT_EQ(dict.keys, (std::vector<std::int32_t>{-5, 0, 7}));
  EXPECT_EQ(dict.find(3, false), 1);
  EXPECT_EQ(dict.find(-9, false), -1);
  EXPECT_EQ(dict.find(8, false), 2);
  EXPECT_TRUE(std::isnan(dict.get(3)));
  dict.remove(7);
  dict.remove(0);
  EXPECT_EQ(dict.keys, (std::vector<std::int32_t>{-5}));
}

TEST(RankedList, RankingAndBucketize) {
  RankedList ranks;
  for (double v : {1.0, 1.0, 2.0, 5.0}) ranks.add(ranks.size(), v);
  ranks.ranking();
  EXPECT_DOUBLE_EQ(ranks.vals[0], 1.0 / 3);
  EXPECT_DOUBLE_EQ(ranks.vals[1], 1.0 / 3);
  EXPECT_DOUBLE_EQ(ranks.vals[2], 2.0 / 3);
  EXPECT_DOUBLE_EQ(ranks.vals[3], 1.0);

  RankedList buckets;
  buckets.add(0, 5);
  buckets.add(1, 3);
  buckets.add(2, 5);
  buckets.add(3, 1);
  buckets.bucketize(2);
  EXPECT_EQ(buckets.keys, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(buckets.vals, (std::vector<double>{1, 0, 1, 0}));
  EXPECT_TRUE(buckets.sorted);

  RankedList empty;
  empty.bucketize(3);
  EXPECT_EQ(empty.size(), 0);
  EXPECT_TRUE(empty.sorted);
}
