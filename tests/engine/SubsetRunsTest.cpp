// Positions in TSubset's order, the dealing of runs to parts, and a build whose subsets are
// searched in shares and merged back: the same pandects as the build that searches them all.
#include <gtest/gtest.h>

#include <map>

#include "GeneratedTable.h"
#include "Intake.h"
#include "LadError.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "TSubset.h"

TEST(SubsetRuns, PositionsFollowTheOrderOfTSubset) {
  const std::pair<std::int32_t, std::int32_t> shapes[] = {{1, 1}, {6, 2},  {9, 3}, {7, 7},
                                                          {5, 9}, {12, 4}, {8, 1}};
  for (const auto& [n, m] : shapes) {
    SCOPED_TRACE(std::to_string(n) + " choose " + std::to_string(m));
    TSubset subset(n, m);
    arrint stepped = subsetAt(n, m, 0);
    std::int64_t index = 0;
    for (; !subset.subset.empty(); subset.next(), ++index) {
      ASSERT_EQ(subsetAt(n, m, index), subset.map) << index;
      ASSERT_EQ(stepped, subset.map) << index;
      EXPECT_EQ(nextSubset(n, stepped), index + 1 < subsetCount(n, m));
    }
    EXPECT_EQ(index, subsetCount(n, m));
    EXPECT_THROW(subsetAt(n, m, index), ERangeError);
    EXPECT_THROW(subsetAt(n, m, -1), ERangeError);
  }
}

TEST(SubsetRuns, RunsCoverEverySubsetAndShareTheCostEvenly) {
  // Attributes of very different bin counts: subsets over the first ones cost far more.
  arrint sizes(40, 2);
  for (int k = 0; k < 8; ++k) sizes[static_cast<std::size_t>(k)] = 8;
  for (const int parts : {1, 2, 3, 7}) {
    SCOPED_TRACE(parts);
    const auto runs = dealSubsetRuns(sizes, 100, 3, parts, 32);
    ASSERT_FALSE(runs.empty());
    std::int64_t next = 0;
    std::vector<double> cost(static_cast<std::size_t>(parts), 0.0);
    for (std::size_t r = 0; r < runs.size(); ++r) {
      EXPECT_EQ(runs[r].first, next);
      EXPECT_GT(runs[r].count, 0);
      EXPECT_EQ(runs[r].part, static_cast<int>(r % static_cast<std::size_t>(parts)));
      arrint map = subsetAt(40, 3, runs[r].first);
      for (std::int64_t i = 0; i < runs[r].count; ++i, nextSubset(40, map)) {
        double cells = 1;
        for (const std::int32_t a : map) cells *= sizes[static_cast<std::size_t>(a)];
        cost[static_cast<std::size_t>(runs[r].part)] += 100 + cells;
      }
      next += runs[r].count;
    }
    EXPECT_EQ(next, subsetCount(40, 3));
    const auto [least, most] = std::minmax_element(cost.begin(), cost.end());
    EXPECT_LT(*most / *least, 1.02) << *least << " .. " << *most;
  }
  // Fewer subsets than runs wanted: one subset a run.
  EXPECT_EQ(dealSubsetRuns(arrint(4, 3), 10, 2, 3, 64).size(), 6u);
  EXPECT_EQ(dealSubsetRuns(arrint(4, 3), 10, 9, 3, 64).size(), 1u);
  EXPECT_THROW(dealSubsetRuns(arrint(1000, 2), 10, 500, 2, 8), LadError);
}

TEST(SubsetRuns, SharedOutBuildMergesIntoTheSamePandects) {
  LearningParameters parameters{"5", "3", "0.7", "0.1", "0.3", "0.1"};
  const std::string table = generatedTable(90, 11, 4);
  auto whole = intake(parameters, table);
  whole->buildModel();

  for (const int parts : {2, 3}) {
    for (const int threads : {1, 2}) {
      SCOPED_TRACE(std::to_string(parts) + " parts, " + std::to_string(threads) + " threads");
      BuildControl control;
      control.threads = threads;
      auto shared = intake(parameters, table);
      std::int64_t fetched = 0;
      shared->buildModel(control, [&](const SearchData& data, std::int32_t attributes,
                                      std::int32_t degree, const TakeSubset& take) {
        const auto runs = dealSubsetRuns(data.sizes, data.rows(), degree, parts, 4);
        // Every other part searches its runs first, as another process would.
        std::map<std::int64_t, SubsetPatterns> elsewhere;
        for (int part = 1; part < parts; ++part) {
          std::vector<SubsetRun> mine;
          for (const SubsetRun& run : runs) {
            if (run.part == part) mine.push_back(run);
          }
          sweepSubsetRuns(data, attributes, degree, control, mine, part, nullptr,
                          [&](std::int64_t index, const arrint&, const SubsetPatterns& found) {
                            elsewhere[index] = found;
                          });
        }
        sweepSubsetRuns(
            data, attributes, degree, control, runs, 0,
            [&](std::int64_t first, std::vector<SubsetPatterns>& found) {
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
      ASSERT_GT(whole->pospandect->size(), 0);
      ASSERT_EQ(shared->pospandect->size(), whole->pospandect->size());
      ASSERT_EQ(shared->negpandect->size(), whole->negpandect->size());
      for (std::int32_t i = 0; i < whole->pospandect->size(); ++i) {
        EXPECT_EQ(shared->pospandect->key(i), whole->pospandect->key(i));
      }
      for (std::int32_t i = 0; i < whole->negpandect->size(); ++i) {
        EXPECT_EQ(shared->negpandect->key(i), whole->negpandect->key(i));
      }
    }
  }
}
