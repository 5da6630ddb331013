// Positions in the subset order, the dealing of runs to parts, and a build whose subsets are
// searched in shares and merged back: the same pattern sets as the build that searches them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "GeneratedTable.h"
#include "Intake.h"
#include "LadError.h"
#include "ModelBuilding.h"
#include "SearchData.h"
#include "SubsetSweep.h"

namespace {

// Every subset of m of n attributes, from their membership masks, in decreasing lexicographic
// order of their attribute numbers: the order that positions and steps must follow.
std::vector<arrint> everySubsetInOrder(std::int32_t n, std::int32_t m) {
  std::vector<arrint> all;
  for (std::uint32_t mask = 0; mask < (1u << n); ++mask) {
    arrint map;
    for (std::int32_t a = 0; a < n; ++a) {
      if ((mask >> a & 1u) != 0) map.push_back(a);
    }
    if (static_cast<std::int32_t>(map.size()) == std::min(m, n)) all.push_back(map);
  }
  std::sort(all.rbegin(), all.rend());
  return all;
}

}  // namespace

TEST(SubsetRuns, PositionsAndStepsFollowTheSubsetOrder) {
  const std::pair<std::int32_t, std::int32_t> shapes[] = {{1, 1}, {6, 2},  {9, 3}, {7, 7},
                                                          {5, 9}, {12, 4}, {8, 1}};
  for (const auto& [n, m] : shapes) {
    SCOPED_TRACE(std::to_string(n) + " choose " + std::to_string(m));
    const std::vector<arrint> expected = everySubsetInOrder(n, m);
    arrint stepped = subsetAt(n, m, 0);
    std::int64_t index = 0;
    for (; index < static_cast<std::int64_t>(expected.size()); ++index) {
      const arrint& map = expected[static_cast<std::size_t>(index)];
      ASSERT_EQ(subsetAt(n, m, index), map) << index;
      ASSERT_EQ(stepped, map) << index;
      EXPECT_EQ(nextSubset(n, stepped), index + 1 < subsetCount(n, m));
    }
    EXPECT_EQ(index, subsetCount(n, m));
    EXPECT_THROW(subsetAt(n, m, index), ERangeError);
    EXPECT_THROW(subsetAt(n, m, -1), ERangeError);
  }
}

TEST(SubsetRuns, RunsCoverEverySubsetAtAboutEqualCost) {
  // Attributes of very different bin counts: subsets over the first ones cost far more.
  arrint sizes(40, 2);
  for (int k = 0; k < 8; ++k) sizes[static_cast<std::size_t>(k)] = 8;
  const auto costOf = [&](const arrint& map) {
    double cells = 1;
    for (const std::int32_t a : map) cells *= sizes[static_cast<std::size_t>(a)];
    return 100 + cells;
  };
  for (const std::int64_t wanted : {1, 2, 7, 64, 500}) {
    SCOPED_TRACE(wanted);
    const auto runs = cutSubsetRuns(sizes, 100, 3, wanted);
    ASSERT_EQ(static_cast<std::int64_t>(runs.size()), wanted);
    std::int64_t next = 0;
    std::vector<double> costs;
    for (const SubsetRun& run : runs) {
      EXPECT_EQ(run.first, next);
      EXPECT_GT(run.count, 0);
      double cost = 0;
      arrint map = subsetAt(40, 3, run.first);
      for (std::int64_t i = 0; i < run.count; ++i, nextSubset(40, map)) cost += costOf(map);
      costs.push_back(cost);
      next += run.count;
    }
    EXPECT_EQ(next, subsetCount(40, 3));
    // Each run is within one subset's cost (at most 612) of an equal share.
    const double share = std::accumulate(costs.begin(), costs.end(), 0.0) / wanted;
    for (const double cost : costs) EXPECT_NEAR(cost, share, 2 * 612.0);
  }
  // Fewer subsets than runs wanted: one subset a run.
  EXPECT_EQ(cutSubsetRuns(arrint(4, 3), 10, 2, 100).size(), 6u);
  EXPECT_EQ(cutSubsetRuns(arrint(4, 3), 10, 9, 100).size(), 1u);
  EXPECT_THROW(cutSubsetRuns(arrint(1000, 2), 10, 500, 8), LadError);
}

TEST(SubsetRuns, SharedOutBuildMergesIntoTheSamePatternSets) {
  LearningParameters parameters{5, 3, 0.7, 0.1, 0.3, 0.1};
  const std::string table = generatedTable(90, 11, 4);
  const TrainingTable training = intake(parameters, table, NumberFormat{});
  const Model whole = buildModel(training, parameters);

  for (const int parts : {2, 3}) {
    for (const int threads : {1, 2}) {
      SCOPED_TRACE(std::to_string(parts) + " parts, " + std::to_string(threads) + " threads");
      BuildControl control;
      control.threads = threads;
      std::int64_t fetched = 0;
      const Model shared = buildModel(training, parameters, control, [&](const SearchData& data, std::int32_t attributes,
                                      std::int32_t degree, const TakeSubset& take) {
        auto runs = cutSubsetRuns(data.sizes, data.rows(), degree, 4 * parts);
        for (std::size_t r = 0; r < runs.size(); ++r) runs[r].part = static_cast<int>(r) % parts;
        // Every other part searches its runs first, as another process would.
        std::map<std::int64_t, SubsetPatterns> elsewhere;
        for (int part = 1; part < parts; ++part) {
          std::vector<SubsetRun> mine;
          for (const SubsetRun& run : runs) {
            if (run.part == part) mine.push_back(run);
          }
          sweepSubsetRuns(data, attributes, degree, control, 0, part, runsInOrder(mine), nullptr,
                          [&](std::int64_t index, const arrint&, const SubsetPatterns& found) {
                            elsewhere[index] = found;
                          });
        }
        sweepSubsetRuns(
            data, attributes, degree, control, subsetCount(attributes, degree), 0,
            runsInOrder(runs),
            [&](const SubsetRun& run, std::int64_t first, std::vector<SubsetPatterns>& found) {
              EXPECT_NE(run.part, 0);
              for (std::size_t i = 0; i < found.size(); ++i) {
                found[i] = elsewhere.at(first + static_cast<std::int64_t>(i));
                ++fetched;
              }
            },
            [&](std::int64_t, const arrint& map, const SubsetPatterns& found) {
              take(map, found);
            });
      });
      EXPECT_GT(fetched, 0);
      ASSERT_GT(whole.positive().size(), 0);
      EXPECT_EQ(shared.positive().keys(), whole.positive().keys());
      EXPECT_EQ(shared.negative().keys(), whole.negative().keys());
    }
  }
}
