// The order of a pattern set found from its patterns' fields is the order of its keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "FieldOrder.h"
#include "KeyOrder.h"
#include "PatternSetBuilder.h"

namespace {

// Cutpoint texts that part in every way a field can: a text that begins another ("0.5",
// "0.55"), signs and exponents, neighbours whose texts are the same, an attribute without
// cutpoints, and a last attribute, after which a field ends the description.
matreal trickyCutpoints() {
  const double justAbove = std::nextafter(0.5, 1.0);  // reads "0.5" too
  return {{-2.5, -0.25, 0.5, justAbove, 0.55, 1e-5},
          {1.5e20, 3, 30, 300},
          {},
          {0.1, 0.12, 0.125, 7},
          {-1, 1}};
}

// Random boxes of one to `most` attributes, in ascending attribute order, some coordinates
// spanning every bin, gathered by the builder into one pattern set.
PatternSet randomPatterns(const matreal& cutpoints, const CutpointTexts& texts, std::size_t most,
                          unsigned seed) {
  PatternSet set;
  PatternSetBuilder builder(texts, cutpoints.size(), set);
  std::mt19937 random(seed);
  for (int subset = 0; subset < 300; ++subset) {
    arrint map;
    for (std::size_t k = 0; k < cutpoints.size(); ++k) {
      if (map.size() < most && random() % 2 == 0) map.push_back(static_cast<std::int32_t>(k));
    }
    if (map.empty()) continue;
    std::vector<std::int32_t> boxes;
    for (int box = 0; box < 8; ++box) {
      std::vector<std::int32_t> lower;
      std::vector<std::int32_t> upper;
      for (const std::int32_t k : map) {
        const auto bins =
            static_cast<std::int32_t>(cutpoints[static_cast<std::size_t>(k)].size()) + 1;
        const auto x = static_cast<std::int32_t>(random() % static_cast<unsigned>(bins));
        const auto y = static_cast<std::int32_t>(random() % static_cast<unsigned>(bins));
        lower.push_back(std::min(x, y));
        upper.push_back(std::max(x, y));
      }
      boxes.insert(boxes.end(), lower.begin(), lower.end());
      boxes.insert(boxes.end(), upper.begin(), upper.end());
    }
    builder.take(boxes, static_cast<std::int32_t>(map.size()), map);
  }
  return set;
}

std::vector<std::string> sortedKeys(const PatternSet& set) {
  std::vector<std::string> keys = set.keys();
  std::sort(keys.begin(), keys.end(), KeyLess{});
  return keys;
}

}  // namespace

TEST(FieldOrder, GivesTheOrderOfTheKeys) {
  const matreal cutpoints = trickyCutpoints();
  const CutpointTexts texts(cutpoints, NumberFormat{});
  ASSERT_EQ(texts.text(0, 2), texts.text(0, 3));
  const auto byFields = FieldOrder::of(texts, cutpoints.size());
  ASSERT_TRUE(byFields.has_value());
  for (unsigned seed = 1; seed <= 20; ++seed) {
    PatternSet set = randomPatterns(cutpoints, texts, 4, seed);
    const std::vector<std::string> expected = sortedKeys(set);
    auto order = byFields->order(set);
    ASSERT_TRUE(order.has_value());
    set.arrange(std::move(*order));
    ASSERT_EQ(set.keys(), expected) << "seed " << seed;
  }
}

// Where fields cannot be told apart without their texts (a decimal comma), or a pattern has
// more fields than the order packs, the build's sets are still put in key order, by the keys.
TEST(FieldOrder, LeavesToTheKeysWhatItCannotOrder) {
  const matreal cutpoints = trickyCutpoints();
  const CutpointTexts commas(cutpoints, NumberFormat{","});
  EXPECT_FALSE(FieldOrder::of(commas, cutpoints.size()).has_value());
  matreal six = cutpoints;
  six.push_back({0.5, 0.75});
  const CutpointTexts sixTexts(six, NumberFormat{});
  const PatternSet wide = randomPatterns(six, sixTexts, 5, 3);
  EXPECT_FALSE(FieldOrder::of(sixTexts, six.size())->order(wide).has_value());
  const CutpointTexts texts(cutpoints, NumberFormat{});

  for (const CutpointTexts* format : {&commas, &texts}) {
    PatternSet set = randomPatterns(cutpoints, *format, 5, 4);
    const std::vector<std::string> expected = sortedKeys(set);
    PatternSetBuilder(*format, cutpoints.size(), set).finish();
    EXPECT_EQ(set.keys(), expected);
  }
}
