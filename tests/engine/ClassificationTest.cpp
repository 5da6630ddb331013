#include <gtest/gtest.h>

#include "TLAD.h"

namespace {

// A model over one attribute with cutpoints 1.5, 3, 4.25 and the given pattern boxes.
class Scored {
 public:
  Scored(const std::vector<std::pair<int, int>>& positive,
         const std::vector<std::pair<int, int>>& negative) {
    model.cutpoints = {{1.5, 3, 4.25}};
    model.pospandect = std::make_unique<TPandect>();
    model.negpandect = std::make_unique<TPandect>();
    add(*model.pospandect, positive);
    add(*model.negpandect, negative);
  }
  double score(double v, std::int32_t pointclass = -1) const {
    return model.getIndex({v}, pointclass);
  }
  TLAD model;

 private:
  static void add(TPandect& pandect, const std::vector<std::pair<int, int>>& boxes) {
    for (const auto& [a, b] : boxes) {
      TInterval pattern(1);
      pattern.a = {a};
      pattern.b = {b};
      pandect.append(std::to_string(pandect.size()), pattern);
    }
  }
};

}  // namespace

TEST(Classification, BoxHoldsFollowsTheBinConvention) {
  const Scored one({{1, 2}}, {});
  const PatternView box = one.model.pospandect->pattern(0);
  const matreal& cutpoints = one.model.cutpoints;
  for (double v : {1.5, 2.0, 4.2}) EXPECT_TRUE(boxHolds(box, cutpoints, arrreal{v})) << v;
  for (double v : {1.4999, 4.25}) EXPECT_FALSE(boxHolds(box, cutpoints, arrreal{v})) << v;
  const Scored all({{0, 3}}, {});
  for (double v : {-1e300, 0.0, 1e300}) {
    EXPECT_TRUE(boxHolds(all.model.pospandect->pattern(0), all.model.cutpoints, arrreal{v}));
  }
  EXPECT_TRUE(boxHolds(TInterval(0), cutpoints, arrreal{5}));
}

TEST(Classification, ScoreIsTheShareOfPositivesMinusTheShareOfNegatives) {
  EXPECT_EQ(Scored({}, {}).score(2), 0.0);
  // 4 positive patterns of which 1 holds, 2 negative of which 1 holds.
  const Scored mixed({{0, 0}, {1, 1}, {2, 3}, {3, 3}}, {{0, 1}, {2, 2}});
  for (std::int32_t c : {-1, 0, 1}) EXPECT_EQ(mixed.score(2, c), -0.25);
  EXPECT_EQ(Scored({{0, 3}, {1, 2}}, {}).score(2), 1.0);
  EXPECT_EQ(Scored({}, {{0, 3}}).score(2), -1.0);
}
