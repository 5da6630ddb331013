#include <gtest/gtest.h>

#include "Model.h"

namespace {

// A model over one attribute with cutpoints 1.5, 3, 4.25 and the given pattern boxes.
Model scored(const std::vector<std::pair<int, int>>& positive,
             const std::vector<std::pair<int, int>>& negative) {
  auto patterns = [](const std::vector<std::pair<int, int>>& boxes) {
    PatternSet side;
    for (const auto& [a, b] : boxes) {
      PatternBox pattern(1);
      pattern.a = {a};
      pattern.b = {b};
      side.append(std::to_string(side.size()), pattern);
    }
    return side;
  };
  return Model({"A"}, CutpointGrid({{1.5, 3, 4.25}}), patterns(positive), patterns(negative),
               NumberFormat{});
}

double score(const Model& model, double v) {
  return model.score(arrreal{v});
}

}  // namespace

TEST(Scoring, BoxHoldsFollowsTheBinConvention) {
  const Model one = scored({{1, 2}}, {});
  const PatternView box = one.positive().pattern(0);
  const matreal& cutpoints = one.cutpoints();
  for (double v : {1.5, 2.0, 4.2}) EXPECT_TRUE(boxHolds(box, cutpoints, arrreal{v})) << v;
  for (double v : {1.4999, 4.25}) EXPECT_FALSE(boxHolds(box, cutpoints, arrreal{v})) << v;
  const Model all = scored({{0, 3}}, {});
  for (double v : {-1e300, 0.0, 1e300}) {
    EXPECT_TRUE(boxHolds(all.positive().pattern(0), all.cutpoints(), arrreal{v}));
  }
  EXPECT_TRUE(boxHolds(PatternBox(0), cutpoints, arrreal{5}));
}

TEST(Scoring, ScoreIsTheShareOfPositivesMinusTheShareOfNegatives) {
  EXPECT_EQ(score(scored({}, {}), 2), 0.0);
  // 4 positive patterns of which 1 holds, 2 negative of which 1 holds.
  EXPECT_EQ(score(scored({{0, 0}, {1, 1}, {2, 3}, {3, 3}}, {{0, 1}, {2, 2}}), 2), -0.25);
  EXPECT_EQ(score(scored({{0, 3}, {1, 2}}, {}), 2), 1.0);
  EXPECT_EQ(score(scored({}, {{0, 3}}), 2), -1.0);
}
