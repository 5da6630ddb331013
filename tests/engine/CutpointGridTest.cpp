#include <gtest/gtest.h>

#include "CutpointGrid.h"
#include "Intake.h"
#include "LadError.h"
#include "SampleTable.h"
#include "SearchData.h"

TEST(CutpointGrid, BinOfCountsCutpointsAtOrBelow) {
  const CutpointGrid grid({{2.5, 4.0, 7.0}, {}});
  const std::pair<double, std::int32_t> cases[] = {{1.0, 0}, {2.5, 1}, {3.0, 1}, {4.0, 2},
                                                   {6.9, 2}, {7.0, 3}, {100, 3}};
  for (const auto& [key, bin] : cases) EXPECT_EQ(grid.binOf(key, 0), bin) << key;
  EXPECT_EQ(grid.binOf(-5, 1), 0);
  EXPECT_EQ(grid.binOf(5, 1), 0);
  EXPECT_EQ(grid.binCounts(), (arrint{4, 1}));
  EXPECT_EQ(grid.binsOf({{1, 5}, {7, -1}}), (matint{{0, 0}, {3, 0}}));
}

TEST(CutpointGrid, ChoosesCutpointsByTheFloatingPointRule) {
  const struct {
    arrreal values;
    std::int32_t grid;
    arrreal cutpoints;
    arrint bins;
  } cases[] = {
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 8, {2, 3, 4, 5, 7, 8, 9}, {0, 0, 1, 2, 3, 4, 4, 5, 6, 7}},
      // (5 * (1/7)) * 7 truncates to 4: five cutpoints, not six.
      {{6, 5, 4, 3, 2, 1, 0}, 7, {1, 2, 3, 4, 6}, {5, 4, 4, 3, 2, 1, 0}},
      {{30, 10, 20}, 8, {20, 30}, {2, 0, 1}},
      {{4, 4, 4}, 8, {4}, {1, 1, 1}},
      {{1, 2, 2, 2, 3}, 4, {2, 3}, {0, 1, 1, 1, 2}},
      {{3, 1, 2}, 1, {}, {0, 0, 0}},
      {{3, 1, 2}, 0, {}, {0, 0, 0}},
      {{30, 10, 20}, -8, {20, 30}, {2, 0, 1}},
      {{42}, 8, {}, {0}},
  };
  for (const auto& c : cases) {
    matreal rows;
    for (double v : c.values) rows.push_back({v});
    const CutpointGrid grid = CutpointGrid::equalFrequency(rows, 1, c.grid);
    ASSERT_EQ(grid.attributes(), 1u);
    EXPECT_EQ(grid.cutpoints(0), c.cutpoints) << "grid " << c.grid;
    EXPECT_EQ(grid.binCount(0), static_cast<std::int32_t>(c.cutpoints.size()) + 1);
    arrint bins;
    for (const arrint& row : grid.binsOf(rows)) bins.push_back(row[0]);
    EXPECT_EQ(bins, c.bins) << "grid " << c.grid;
  }
}

TEST(CutpointGrid, SampleTableAndClassCounts) {
  const TrainingTable read = intake(LearningParameters{}, sampleTable(), NumberFormat{});
  arrint classes = read.classes();
  classes[1] = 2;  // neither positive nor negative, still binned
  const TrainingTable table(read.attributeLine(), read.values(), classes, NumberFormat{});
  const CutpointGrid grid = CutpointGrid::equalFrequency(table.values(), table.columns(), 8);
  EXPECT_EQ(grid.cutpoints(0), (arrreal{-0.277747424, -0.076980728, -0.042724707, 0.069911099,
                                        0.10641226, 0.184569526, 0.35513663}));
  EXPECT_EQ(grid.binCounts(), arrint(6, 8));
  EXPECT_EQ(grid.binsOf(table.values())[0][0], 4);
  EXPECT_EQ(grid.binsOf(table.values()).size(), 16u);
  const SearchData data(table, grid, LearningParameters{});
  EXPECT_EQ(data.npos, 8);
  EXPECT_EQ(data.nneg, 7);
  EXPECT_EQ(data.rows(), 15u);  // the row of class 2 takes no part in the search
}

TEST(CutpointGrid, EdgesOfTheTable) {
  EXPECT_THROW(CutpointGrid::equalFrequency({}, 1, 8), LadError);
  const CutpointGrid noColumns = CutpointGrid::equalFrequency({{}, {}}, 0, 8);
  EXPECT_EQ(noColumns.attributes(), 0u);
  EXPECT_EQ(noColumns.binsOf({{}, {}}), (matint{{}, {}}));
}

// Class-aware cut points, checked by hand against the minimum-description-length rule:
// accept a split of N values when gain > (log2(N - 1) + log2(3^k - 2) - (k E - k1 E1 - k2 E2)) / N.
TEST(CutpointGrid, ClassAwareSplitsWhereTheDescriptionPays) {
  auto column = [](const std::vector<std::int32_t>& classes) {
    matreal rows;
    for (std::size_t r = 0; r < classes.size(); ++r) rows.push_back({static_cast<double>(r + 1)});
    return rows;
  };
  auto repeat = [](std::initializer_list<std::pair<std::int32_t, int>> runs) {
    arrint classes;
    for (const auto& [c, n] : runs) classes.insert(classes.end(), static_cast<std::size_t>(n), c);
    return classes;
  };
  const struct {
    arrint classes;
    std::int32_t grid;
    arrreal cuts;
  } cases[] = {
      // 0000 1111: gain 1 against (log2 7 + log2 7 - 2) / 8 = 0.45: one cut, at the first 1.
      {repeat({{0, 4}, {1, 4}}), 8, {5}},
      // 0x4 1x4 0x4: gain 0.25 against (log2 11 + 2.97) / 12 = 0.54: no cut.
      {repeat({{0, 4}, {1, 4}, {0, 4}}), 8, {}},
      // 0x16 1x16 0x16: gain 0.25 against 0.18, then the perfect split of the rest.
      {repeat({{0, 16}, {1, 16}, {0, 16}}), 8, {17, 33}},
      // The same capped at two bins: the first split only.
      {repeat({{0, 16}, {1, 16}, {0, 16}}), 2, {17}},
      {repeat({{0, 16}, {1, 16}, {0, 16}}), 1, {}},
      // Classes that alternate tell nothing.
      {repeat({{0, 1}, {1, 1}, {0, 1}, {1, 1}, {0, 1}, {1, 1}}), 8, {}},
      // One class: nothing to split.
      {repeat({{1, 10}}), 8, {}},
  };
  for (const auto& c : cases) {
    const CutpointGrid grid =
        CutpointGrid::classAware(column(c.classes), c.classes, 1, c.grid);
    EXPECT_EQ(grid.cutpoints(0), c.cuts) << ::testing::PrintToString(c.classes) << " grid " << c.grid;
  }
  // Rows of other classes take no part; equal values are never split apart.
  const CutpointGrid others = CutpointGrid::classAware(
      {{1}, {1}, {2}, {2}, {3}, {3}, {4}, {4}, {5}}, {0, 0, 0, 0, 1, 1, 1, 1, 7}, 1, 8);
  EXPECT_EQ(others.cutpoints(0), (arrreal{3}));
  EXPECT_THROW(CutpointGrid::classAware({}, {}, 1, 8), LadError);
}
