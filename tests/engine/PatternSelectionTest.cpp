#include <gtest/gtest.h>

#include <cmath>

#include "GeneratedTable.h"
#include "Intake.h"
#include "ModelBuilding.h"
#include "PatternBox.h"
#include "PatternCoverage.h"
#include "PatternSelection.h"

namespace {

PatternBox box(std::int32_t a, std::int32_t b) {
  PatternBox p(1);
  p.a = {a};
  p.b = {b};
  return p;
}

// One attribute cut at 2, 4 and 6; observations at 1, 3 and 5 of class 1 and at 5 and 7 of
// class 0. Positive patterns, in this order: B (bins 1..2: 3 and 5, and the negative 5),
// A (bins 0..1: 1 and 3), C (bins 0..2: 1, 3 and 5, and the negative 5). Negative: D (bin 3: 7).
struct Small {
  TrainingTable table{"x", {{1}, {3}, {5}, {5}, {7}}, {1, 1, 1, 0, 0}, NumberFormat{}};
  Model model = [] {
    const Model shape({"x"}, CutpointGrid({{2, 4, 6}}), PatternSet(), PatternSet(), NumberFormat{});
    PatternSet positive;
    for (const PatternBox& p : {box(1, 2), box(0, 1), box(0, 2)})
      positive.append(shape.describe(p), p);
    PatternSet negative;
    negative.append(shape.describe(box(3, 3)), box(3, 3));
    return Model({"x"}, CutpointGrid({{2, 4, 6}}), std::move(positive), std::move(negative),
                 NumberFormat{});
  }();
};

}  // namespace

// Checked by hand. cover 1: C covers all three positives at once. cover 2: C first, then A
// and B cover two rows still short each; A is purer (no negative), so A; then B for the 5.
TEST(PatternSelection, GreedyMultiCoverByHand) {
  const Small s;
  SelectionCounts counts;
  const Model one = selectPatterns(s.model, s.table, 1, &counts);
  EXPECT_EQ(one.positive().keys(), (std::vector<std::string>{",<6"}));
  EXPECT_EQ(one.negative().size(), 1);
  EXPECT_EQ(counts.positiveKept, 1);
  EXPECT_EQ(counts.positiveFound, 3);
  EXPECT_EQ(counts.negativeKept, 1);

  const Model two = selectPatterns(s.model, s.table, 2);
  EXPECT_EQ(two.positive().keys(), s.model.positive().keys());  // all three, in their order

  // Without the positive 5, A and C tie on two rows; A is purer and goes first, then C covers
  // both rows a second time, and B is never needed.
  const TrainingTable fewer("x", {{1}, {3}, {5}, {7}}, {1, 1, 0, 0}, NumberFormat{});
  EXPECT_EQ(selectPatterns(s.model, fewer, 2).positive().keys(),
            (std::vector<std::string>{",<4", ",<6"}));
}

// On a real build: every training observation keeps min(cover, before) patterns of its side,
// the kept patterns are a part of the model in its order, and any thread count gives the same.
TEST(PatternSelection, KeepsTheCoverOfEveryObservation) {
  const TrainingTable table = intake({5, 2, 0.7, 0.1, 0.3, 0.1}, generatedTable(120, 8, 4), {});
  for (const std::int32_t cover : {1, 3}) {
    LearningParameters parameters{5, 2, 0.7, 0.1, 0.3, 0.1};
    const Model all = buildModel(table, parameters);
    parameters.coverTarget = cover;
    std::vector<std::vector<std::string>> keysAt;
    for (const int threads : {1, 2, 3}) {
      BuildControl control;
      control.threads = threads;
      const Model kept = buildModel(table, parameters, control);
      keysAt.push_back(kept.positive().keys());
      const PatternCoverage before(all, table.values());
      const PatternCoverage after(kept, table.values());
      auto count = [](const PatternCoverage& c, std::size_t r, std::size_t from, std::size_t to) {
        std::int32_t n = 0;
        for (std::size_t j = from; j < to; ++j) n += (c.row(r)[j / 64] >> (j % 64)) & 1u;
        return n;
      };
      const auto allPositive = static_cast<std::size_t>(all.positive().size());
      const auto keptPositive = static_cast<std::size_t>(kept.positive().size());
      for (std::size_t r = 0; r < table.rows(); ++r) {
        const std::int32_t c = table.classes()[r];
        if (c != 0 && c != 1) continue;
        const std::int32_t was = c == 1 ? count(before, r, 0, allPositive)
                                        : count(before, r, allPositive, before.patterns());
        const std::int32_t is = c == 1 ? count(after, r, 0, keptPositive)
                                       : count(after, r, keptPositive, after.patterns());
        EXPECT_GE(is, std::min(was, cover)) << "row " << r << ", cover " << cover;
      }
      EXPECT_LT(kept.positive().size(), all.positive().size());
      // A part, in order.
      std::size_t at = 0;
      for (const std::string& key : kept.positive().keys()) {
        while (at < static_cast<std::size_t>(all.positive().size()) &&
               all.positive().key(static_cast<std::int32_t>(at)) != key)
          ++at;
        EXPECT_LT(at, static_cast<std::size_t>(all.positive().size())) << key;
      }
    }
    EXPECT_EQ(keysAt[0], keysAt[1]);
    EXPECT_EQ(keysAt[0], keysAt[2]);
  }
}

// Every bit of the coverage of a model of thousands of patterns (set out in several runs, on
// several threads) is what boxHolds says, also for the observations with a missing value.
TEST(PatternCoverage, EveryBitIsWhatTheBoxSays) {
  const LearningParameters parameters{8, 3, 0.6, 0.05, 0.4, 0.05};
  const TrainingTable built = intake(parameters, generatedTable(100, 14, 7), {});
  const Model model = buildModel(built, parameters);
  ASSERT_GT(model.positive().size() + model.negative().size(), 3 * 4096);
  matreal values = built.values();
  for (std::size_t r = 0; r < values.size(); r += 7) values[r][r % values[r].size()] = std::nan("");
  const PatternCoverage coverage(model, values);
  std::size_t j = 0;
  for (const PatternSet* side : {&model.positive(), &model.negative()}) {
    for (std::int32_t i = 0; i < side->size(); ++i, ++j) {
      for (std::size_t r = 0; r < values.size(); ++r) {
        const bool bit = ((coverage.row(r)[j / 64] >> (j % 64)) & 1u) != 0;
        ASSERT_EQ(bit, boxHolds(side->pattern(i), model.cutpoints(), values[r]))
            << "pattern " << j << ", row " << r;
      }
    }
  }
}
