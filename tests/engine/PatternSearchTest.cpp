#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "SearchData.h"
#include "SubsetPatternLists.h"
#include "SubsetSearch.h"

namespace {

// A table already discretized: each observation's bin of each attribute, and its class.
struct Binned {
  LearningParameters parameters;
  arrint sizes;  // the bins of each attribute
  matint bins;
  arrint classes;

  std::int32_t count(std::int32_t c) const {
    return static_cast<std::int32_t>(std::count(classes.begin(), classes.end(), c));
  }
  // The search data of a table whose values are the bin numbers, over cut points 1, 2, ...
  // that put each value in its own bin.
  SearchData data() const {
    // Bin -1 stands for a missing value.
    matreal values;
    for (const arrint& row : bins) {
      values.emplace_back(row.begin(), row.end());
      for (double& v : values.back()) {
        if (v < 0) v = std::nan("");
      }
    }
    const TrainingTable table("", values, classes, NumberFormat{});
    matreal cutpoints(sizes.size());
    for (std::size_t k = 0; k < sizes.size(); ++k) {
      for (std::int32_t c = 1; c < sizes[k]; ++c) cutpoints[k].push_back(c);
    }
    return SearchData(table, CutpointGrid(cutpoints), parameters);
  }
  void patterns(const arrint& map, PatternBoxList& positive, PatternBoxList& negative) const {
    subsetPatternLists(data(), map, positive, negative);
  }
};

// A table whose single attribute has 5 bins.
Binned fiveBins(const arrint& positives, const arrint& negatives) {
  Binned model{{8, 1, 0.6, 0.1, 0.4, 0.1}, {5}, {}, {}};
  for (std::int32_t bin = 0; bin < 5; ++bin) {
    for (int i = 0; i < positives[static_cast<std::size_t>(bin)]; ++i) {
      model.bins.push_back({bin});
      model.classes.push_back(1);
    }
    for (int i = 0; i < negatives[static_cast<std::size_t>(bin)]; ++i) {
      model.bins.push_back({bin});
      model.classes.push_back(0);
    }
  }
  return model;
}

std::vector<std::string> texts(const PatternBoxList& list) {
  std::vector<std::string> out;
  for (const auto& pattern : list.vals) out.push_back(pattern->toStr());
  return out;
}

// Every box from b to a later cell of the Gray order that strictly dominates b, judged by
// counting observations directly, kept when no other accepted box of its side contains it.
// With missing values (bin -1), an attribute that some row of class 1 or 0 misses gets one
// more bin in the walk; a box counts such a row only where it spans every bin, and a box that spans
// the missing bin without spanning every bin, or spans exactly the known bins, is never accepted.
void bruteForce(const Binned& model, arrint dims, std::vector<std::string>& positive,
                std::vector<std::string>& negative) {
  arrint missing(dims.size(), -1);
  for (std::size_t k = 0; k < dims.size(); ++k) {
    for (std::size_t r = 0; r < model.bins.size(); ++r) {
      const bool learned = model.classes[r] == 0 || model.classes[r] == 1;
      if (learned && model.bins[r][k] < 0) missing[k] = dims[k];
    }
    if (missing[k] >= 0) ++dims[k];
  }
  std::vector<arrint> order;
  GridPoint walk(dims);
  walk.first();
  while (!walk.idx.empty()) {
    order.push_back(walk.idx);
    walk.nextGray();
  }
  struct Box {
    arrint a, b;
  };
  std::vector<Box> accepted[2];
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (std::size_t j = i + 1; j < order.size(); ++j) {
      if (dominance(order[i], order[j]) != 1) continue;
      bool valid = true;
      for (std::size_t k = 0; k < dims.size(); ++k) {
        const bool whole = order[i][k] == 0 && order[j][k] == dims[k] - 1;
        if (missing[k] >= 0 && !whole &&
            (order[j][k] == missing[k] || (order[i][k] == 0 && order[j][k] == missing[k] - 1))) {
          valid = false;
        }
      }
      if (!valid) continue;
      double p = 0;
      double n = 0;
      for (std::size_t r = 0; r < model.bins.size(); ++r) {
        bool inside = true;
        for (std::size_t k = 0; k < dims.size(); ++k) {
          const std::int32_t bin = model.bins[r][k];
          const bool whole = order[i][k] == 0 && order[j][k] == dims[k] - 1;
          inside = inside && (bin < 0 ? whole : order[i][k] <= bin && bin <= order[j][k]);
        }
        if (inside && model.classes[r] == 1) ++p;
        if (inside && model.classes[r] == 0) ++n;
      }
      if (p + n <= 0) continue;
      const double h = p / (p + n);
      if (h > model.parameters.positiveHomogeneity &&
          p / model.count(1) > model.parameters.positivePrevalence)
        accepted[0].push_back({order[i], order[j]});
      if (h < model.parameters.negativeHomogeneity &&
          n / model.count(0) > model.parameters.negativePrevalence)
        accepted[1].push_back({order[i], order[j]});
    }
  }
  for (int side = 0; side < 2; ++side) {
    std::vector<std::string>& out = side == 0 ? positive : negative;
    for (std::size_t x = 0; x < accepted[side].size(); ++x) {
      bool maximal = true;
      for (std::size_t y = 0; y < accepted[side].size() && maximal; ++y) {
        const Box& inner = accepted[side][x];
        const Box& outer = accepted[side][y];
        maximal = x == y || !(dominance(outer.a, inner.a) >= 0 && dominance(inner.b, outer.b) >= 0);
      }
      if (!maximal) continue;
      PatternBox pattern(static_cast<std::int32_t>(dims.size()));
      pattern.a = accepted[side][x].a;
      pattern.b = accepted[side][x].b;
      for (std::size_t k = 0; k < dims.size(); ++k) {
        if (pattern.b[k] == missing[k]) --pattern.b[k];  // every bin: no condition
      }
      for (std::size_t k = 0; k < dims.size(); ++k) pattern.map[k] = static_cast<std::int32_t>(k);
      out.push_back(pattern.toStr());
    }
  }
}

}  // namespace

TEST(PatternSearch, OneAttributeExample) {
  const Binned model = fiveBins({3, 1, 0, 0, 0}, {0, 1, 0, 2, 2});
  PatternBoxList pos;
  PatternBoxList neg;
  model.patterns({0}, pos, neg);
  EXPECT_EQ(texts(pos), (std::vector<std::string>{"0:2:0"}));
  EXPECT_EQ(texts(neg), (std::vector<std::string>{"1:4:0"}));
}

TEST(PatternSearch, ThresholdsAreStrict) {
  // Bins 0..4 hold 3 positives and 2 negatives: h = 0.6 exactly is not above 0.6.
  const Binned homogeneity = fiveBins({3, 0, 0, 0, 0}, {0, 2, 0, 0, 0});
  PatternBoxList pos;
  PatternBoxList neg;
  homogeneity.patterns({0}, pos, neg);
  EXPECT_EQ(texts(pos), std::vector<std::string>{});
  EXPECT_EQ(texts(neg), (std::vector<std::string>{"1:4:0"}));

  // 0..1 holds 1 of 10 positives: a prevalence of exactly 0.1 is not above 0.1.
  const Binned prevalence = fiveBins({1, 0, 0, 0, 9}, {0, 0, 0, 0, 0});
  PatternBoxList pos2;
  PatternBoxList neg2;
  prevalence.patterns({0}, pos2, neg2);
  EXPECT_EQ(texts(pos2), (std::vector<std::string>{"0:4:0"}));
  EXPECT_EQ(texts(neg2), std::vector<std::string>{});
}

TEST(PatternSearch, SingleCellGridAndOtherClassesYieldNothing) {
  const Binned model{{8, 1, 0.6, 0.1, 0.4, 0.1}, {1}, {{0}, {0}}, {1, 0}};
  PatternBoxList pos;
  PatternBoxList neg;
  model.patterns({0}, pos, neg);
  EXPECT_EQ(pos.size() + neg.size(), 0);

  Binned others = fiveBins({0, 0, 0, 0, 0}, {0, 0, 0, 0, 0});
  others.bins = {{0}, {1}, {4}};
  others.classes = {2, -1, 7};
  others.patterns({0}, pos, neg);
  EXPECT_EQ(pos.size() + neg.size(), 0);
}

TEST(PatternSearch, MatchesBruteForceOnRandomGrids) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 150; ++round) {
    const auto d = static_cast<std::size_t>(1 + round % 3);
    arrint dims(d);
    for (auto& size : dims) size = std::uniform_int_distribution<int>(1, d == 3 ? 4 : 6)(random);
    Binned model{{8, static_cast<std::int32_t>(d), 0.5 + 0.1 * (round % 4), 0.05 * (round % 3),
                  0.5 - 0.1 * (round % 3), 0.1 * (round % 2)},
                 dims,
                 {},
                 {}};
    const int rows = std::uniform_int_distribution<int>(1, 40)(random);
    for (int r = 0; r < rows; ++r) {
      arrint row(d);
      for (std::size_t k = 0; k < d; ++k) {
        row[k] = std::uniform_int_distribution<int>(0, dims[k] - 1)(random);
      }
      model.bins.push_back(row);
      const int c = std::uniform_int_distribution<int>(0, 9)(random);
      model.classes.push_back(c < 5 ? 1 : c < 9 ? 0 : 2);
    }
    arrint map(d);
    for (std::size_t k = 0; k < d; ++k) map[k] = static_cast<std::int32_t>(k);

    PatternBoxList pos;
    PatternBoxList neg;
    model.patterns(map, pos, neg);
    std::vector<std::string> expectedPos;
    std::vector<std::string> expectedNeg;
    bruteForce(model, dims, expectedPos, expectedNeg);
    ASSERT_EQ(texts(pos), expectedPos) << "round " << round;
    ASSERT_EQ(texts(neg), expectedNeg) << "round " << round;
  }
}

namespace {

// A model already discretized into the given grid: seeded rows, classes drawn with the given
// shares of positive, negative and other classes, and thresholds drawn from typical and edge
// values. Few rows over few cells give ties.
Binned randomGridModel(std::mt19937& random, const arrint& dims, int rows, int positivePercent,
                       int negativePercent) {
  const double homogeneities[] = {0.0, 0.4, 0.5, 0.6, 0.75, 0.9, 1.0};
  const double prevalences[] = {0.0, 0.05, 0.1, 0.2, 0.5};
  auto pick = [&](const auto& values) {
    const auto count = static_cast<int>(std::size(values));
    return values[std::uniform_int_distribution<int>(0, count - 1)(random)];
  };
  Binned model{{8, static_cast<std::int32_t>(dims.size()), pick(homogeneities), pick(prevalences),
                pick(homogeneities), pick(prevalences)},
               dims,
               {},
               {}};
  for (int r = 0; r < rows; ++r) {
    arrint row(dims.size());
    for (std::size_t k = 0; k < dims.size(); ++k) {
      row[k] = std::uniform_int_distribution<int>(0, dims[k] - 1)(random);
    }
    model.bins.push_back(row);
    const int c = std::uniform_int_distribution<int>(0, 99)(random);
    model.classes.push_back(c < positivePercent                     ? 1
                            : c < positivePercent + negativePercent ? 0
                                                                    : 3);
  }
  return model;
}

// Whether the fast search and the literal walk find the same boxes in the same order on every
// attribute of data, with the fast search's boxes left in fast.
::testing::AssertionResult fastMatchesLiteral(const SearchData& data, SubsetPatterns& fast) {
  arrint map(data.sizes.size());
  for (std::size_t k = 0; k < map.size(); ++k) map[k] = static_cast<std::int32_t>(k);
  SearchScratch scratch;
  SubsetPatterns literal;
  searchSubset(data, map, scratch, fast);
  literalSearchSubset(data, map, literal);
  if (fast.positive != literal.positive) return ::testing::AssertionFailure() << "positive boxes";
  if (fast.negative != literal.negative) return ::testing::AssertionFailure() << "negative boxes";
  return ::testing::AssertionSuccess();
}

}  // namespace

// The fast search and the literal walk agree box for box, in order, on grids of every degree
// from 1 to 4, sizes from 1 (a coordinate every box spans) to 12, mixed and one-sided classes.
TEST(PatternSearch, FastSearchMatchesTheLiteralWalk) {
  std::mt19937 random(8);
  const int classMixes[][2] = {{50, 45}, {100, 0}, {0, 100}, {20, 60}, {70, 20}};
  int boxes = 0;
  for (int round = 0; round < 400; ++round) {
    const auto d = static_cast<std::size_t>(1 + round % 4);
    const int largest = d <= 2 ? 12 : d == 3 ? 8 : 5;
    arrint dims(d);
    for (auto& size : dims) size = std::uniform_int_distribution<int>(1, largest)(random);
    const int rows = std::uniform_int_distribution<int>(1, 120)(random);
    const auto& mix = classMixes[round % 5];
    const Binned model = randomGridModel(random, dims, rows, mix[0], mix[1]);
    SubsetPatterns fast;
    ASSERT_TRUE(fastMatchesLiteral(model.data(), fast)) << "round " << round;
    boxes += static_cast<int>(fast.count(fast.positive) + fast.count(fast.negative));
  }
  EXPECT_GT(boxes, 1000);  // the rounds do find patterns
}

// Grids past the sizes that the fast search's shortcuts take agree with the literal walk too:
// three coordinates of which one has more than 8 bins (searched box by box up to 8), a
// coordinate of more than 128 bins (box corners packed a byte per coordinate up to 128), and
// more observations than a table of verdicts by counts is made for (boxes judged by the
// thresholds of their totals).
TEST(PatternSearch, WideCoordinatesMatchTheLiteralWalk) {
  std::mt19937 random(41);
  const arrint shapes[] = {{9, 5, 3}, {4, 3, 10}, {8, 8, 8}, {200},      {128},
                           {129},     {130, 3},   {3, 128},  {2, 129, 2}};
  const std::pair<arrint, int> many[] = {{{8, 8, 8}, 400}, {{5, 7, 3}, 400}};
  std::vector<std::pair<arrint, int>> cases;
  for (const arrint& dims : shapes) cases.emplace_back(dims, 150);
  cases.insert(cases.end(), std::begin(many), std::end(many));
  for (const auto& [dims, rows] : cases) {
    for (int round = 0; round < 4; ++round) {
      const Binned model = randomGridModel(random, dims, rows, 50, 45);
      if (rows > 150) {
        ASSERT_TRUE(model.data().rule.verdicts.empty());
      }
      SubsetPatterns fast;
      ASSERT_TRUE(fastMatchesLiteral(model.data(), fast))
          << dims.size() << " coordinates, round " << round;
    }
  }
}

// One scratch serves subsets of different shapes one after the other.
TEST(PatternSearch, ScratchIsReusedAcrossShapes) {
  std::mt19937 random(3);
  SearchScratch scratch;
  for (int round = 0; round < 60; ++round) {
    arrint dims{std::uniform_int_distribution<int>(2, 6)(random),
                std::uniform_int_distribution<int>(1, 6)(random)};
    if (round % 3 == 0) dims.push_back(4);
    const Binned model = randomGridModel(random, dims, 60, 50, 45);
    const SearchData data = model.data();
    arrint map(dims.size());
    for (std::size_t k = 0; k < dims.size(); ++k) map[k] = static_cast<std::int32_t>(k);
    SubsetPatterns reused;
    SubsetPatterns fresh;
    SearchScratch own;
    searchSubset(data, map, scratch, reused);
    searchSubset(data, map, own, fresh);
    ASSERT_EQ(reused.positive, fresh.positive) << "round " << round;
    ASSERT_EQ(reused.negative, fresh.negative) << "round " << round;
  }
}

// With missing values the fast search, the literal walk and the direct count agree: a missing
// value never meets a condition, and a box that leaves the attribute free still counts the row.
TEST(PatternSearch, MissingValuesMeetNoCondition) {
  std::mt19937 random(19);
  int boxes = 0;
  int free = 0;
  for (int round = 0; round < 300; ++round) {
    const auto d = static_cast<std::size_t>(1 + round % 3);
    arrint dims(d);
    for (auto& size : dims) size = std::uniform_int_distribution<int>(1, d == 3 ? 4 : 6)(random);
    const auto& mix = round % 2 == 0 ? std::array<int, 2>{50, 45} : std::array<int, 2>{30, 70};
    Binned model = randomGridModel(random, dims, std::uniform_int_distribution<int>(1, 50)(random),
                                   mix[0], mix[1]);
    for (arrint& row : model.bins) {
      for (std::int32_t& bin : row) {
        if (std::uniform_int_distribution<int>(0, 4)(random) == 0) bin = -1;
      }
    }
    arrint map(d);
    for (std::size_t k = 0; k < d; ++k) map[k] = static_cast<std::int32_t>(k);
    PatternBoxList pos;
    PatternBoxList neg;
    model.patterns(map, pos, neg);
    std::vector<std::string> expectedPos;
    std::vector<std::string> expectedNeg;
    bruteForce(model, dims, expectedPos, expectedNeg);
    ASSERT_EQ(texts(pos), expectedPos) << "round " << round;
    ASSERT_EQ(texts(neg), expectedNeg) << "round " << round;

    const SearchData data = model.data();
    SearchScratch scratch;
    SubsetPatterns fast;
    SubsetPatterns literal;
    searchSubset(data, map, scratch, fast);
    literalSearchSubset(data, map, literal);
    ASSERT_EQ(fast.positive, literal.positive) << "round " << round;
    ASSERT_EQ(fast.negative, literal.negative) << "round " << round;
    boxes += static_cast<int>(pos.size() + neg.size());
    for (const std::vector<std::int32_t>* side : {&fast.positive, &fast.negative}) {
      for (std::size_t at = 0; at < side->size(); at += 2 * d) {
        for (std::size_t k = 0; k < d; ++k) {
          free += (*side)[at + k] == 0 && (*side)[at + d + k] == dims[k] - 1 && dims[k] > 1;
        }
      }
    }
  }
  EXPECT_GT(boxes, 300);
  EXPECT_GT(free, 50);  // boxes that leave an attribute free, and so count rows that miss it
}
