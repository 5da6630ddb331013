#include <gtest/gtest.h>

#include "Intake.h"
#include "SampleTable.h"
#include "TLAD.h"

namespace {

// A model of one attribute holding the values, with grid size G requested.
TLAD oneAttribute(const arrreal& values, std::int32_t grid) {
  TLAD model({8, 1, 0.6, 0.1, 0.4, 0.1});
  for (double v : values) {
    model.data.push_back({v});
    model.classvector.push_back(1);
  }
  model.sizes = {grid};
  return model;
}

}  // namespace

TEST(Discretization, FindbinCountsCutpointsAtOrBelow) {
  TLAD model({8, 1, 0, 0, 0, 0});
  model.cutpoints = {{2.5, 4.0, 7.0}, {}};
  const std::pair<double, std::int32_t> cases[] = {{1.0, 0}, {2.5, 1}, {3.0, 1}, {4.0, 2},
                                                   {6.9, 2}, {7.0, 3}, {100, 3}};
  for (const auto& [key, bin] : cases) EXPECT_EQ(model.findbin(key, 0), bin) << key;
  EXPECT_EQ(model.findbin(-5, 1), 0);
  EXPECT_EQ(model.findbin(5, 1), 0);
}

TEST(Discretization, ChoosesCutpointsByTheFloatingPointRule) {
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
    TLAD model = oneAttribute(c.values, c.grid);
    model.discretize();
    ASSERT_EQ(model.cutpoints.size(), 1u);
    EXPECT_EQ(model.cutpoints[0], c.cutpoints) << "grid " << c.grid;
    EXPECT_EQ(model.sizes[0], static_cast<std::int32_t>(c.cutpoints.size()) + 1);
    arrint bins;
    for (const arrint& row : model.datagrid) bins.push_back(row[0]);
    EXPECT_EQ(bins, c.bins) << "grid " << c.grid;
  }
}

TEST(Discretization, SampleTableAndClassCounts) {
  auto model = intake(LearningParameters{}, sampleTable(), NumberFormat{});
  model->classvector[1] = 2;  // neither positive nor negative, still binned
  model->discretize();
  EXPECT_EQ(model->cutpoints[0], (arrreal{-0.277747424, -0.076980728, -0.042724707, 0.069911099,
                                          0.10641226, 0.184569526, 0.35513663}));
  EXPECT_EQ(model->sizes, arrint(6, 8));
  EXPECT_EQ(model->datagrid[0][0], 4);
  EXPECT_EQ(model->datagrid.size(), 16u);
  EXPECT_EQ(model->npos, 8);
  EXPECT_EQ(model->nneg, 7);
}

TEST(Discretization, SimpleUsesTheCutpointsHeld) {
  TLAD model({8, 1, 0, 0, 0, 0});
  model.data = {{1, 5}, {3, 6}};
  model.classvector = {1, 0};
  model.sizes = {8, 8};
  model.cutpoints = {{2}};
  model.discretize_simple();
  EXPECT_EQ(model.cutpoints.size(), 2u);
  EXPECT_EQ(model.sizes, (arrint{2, 1}));
  EXPECT_EQ(model.datagrid, (matint{{0, 0}, {1, 0}}));
  EXPECT_EQ(model.npos, 1);
  EXPECT_EQ(model.nneg, 1);

  TLAD noColumns({8, 1, 0, 0, 0, 0});
  noColumns.data = {{}, {}};
  noColumns.classvector = {1, 0};
  noColumns.discretize();
  EXPECT_TRUE(noColumns.cutpoints.empty());
  EXPECT_EQ(noColumns.datagrid, (matint{{}, {}}));
}
