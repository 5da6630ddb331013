#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "LadError.h"
#include "SubsetRuns.h"
#include "CellCounters.h"
#include "GridPoint.h"

namespace {

struct Step {
  std::int32_t result;
  arrint cell;
};

// The cells and step results of a whole Gray walk from first().
std::vector<Step> grayWalk(const arrint& dims) {
  GridPoint index(dims);
  index.first();
  std::vector<Step> steps{{0, index.idx}};
  for (;;) {
    const std::int32_t r = index.nextGray();
    if (index.idx.empty()) {
      EXPECT_EQ(r, 0);
      break;
    }
    steps.push_back({r, index.idx});
  }
  return steps;
}

void expectWalk(const arrint& dims, const std::vector<Step>& expected) {
  const auto walk = grayWalk(dims);
  ASSERT_EQ(walk.size(), expected.size());
  for (std::size_t i = 0; i < walk.size(); ++i) {
    EXPECT_EQ(walk[i].result, expected[i].result) << "step " << i;
    EXPECT_EQ(walk[i].cell, expected[i].cell) << "step " << i;
  }
}

}  // namespace

TEST(GridPoint, GrayWalks) {
  expectWalk({2, 3},
             {{0, {0, 0}}, {2, {0, 1}}, {2, {0, 2}}, {1, {1, 2}}, {-2, {1, 1}}, {-2, {1, 0}}});
  expectWalk({3, 2, 2}, {{0, {0, 0, 0}},
                         {3, {0, 0, 1}},
                         {2, {0, 1, 1}},
                         {-3, {0, 1, 0}},
                         {1, {1, 1, 0}},
                         {3, {1, 1, 1}},
                         {-2, {1, 0, 1}},
                         {-3, {1, 0, 0}},
                         {1, {2, 0, 0}},
                         {3, {2, 0, 1}},
                         {2, {2, 1, 1}},
                         {-3, {2, 1, 0}}});
  expectWalk({1, 1}, {{0, {0, 0}}});
}

TEST(GridPoint, OdometerGrayFixAndCompare) {
  GridPoint index({2, 3});
  index.first();
  std::vector<arrint> cells;
  while (!index.idx.empty()) {
    cells.push_back(index.idx);
    index.next();
  }
  EXPECT_EQ(cells, (std::vector<arrint>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));

  index.first();
  index.idx[1] = 2;
  cells.clear();
  while (!index.idx.empty()) {
    cells.push_back(index.idx);
    index.nextGrayFix(1);
  }
  EXPECT_EQ(cells, (std::vector<arrint>{{0, 2}, {1, 2}}));

  GridPoint a({3, 3});
  GridPoint b({3, 3});
  a.idx = {1, 2};
  b.idx = {1, 1};
  EXPECT_EQ(a.greater(b), 1);
  a.idx = {1, 1};
  EXPECT_EQ(a.greater(b), 0);
  a.idx = {2, 0};
  EXPECT_EQ(a.greater(b), -1);

  GridPoint over({2, 2});
  over.first();
  while (!over.idx.empty()) over.nextGray();
  a.copyFrom(over);
  EXPECT_TRUE(a.idx.empty());
}

TEST(GridPoint, CopyContinuesTheWalkOfItsSource) {
  const auto walk = grayWalk({3, 2, 2});
  GridPoint source({3, 2, 2});
  source.first();
  for (int i = 0; i < 5; ++i) source.nextGray();
  GridPoint copy({3, 2, 2});
  copy.copyFrom(source);
  for (std::size_t i = 6; i < walk.size(); ++i) {
    copy.nextGray();
    EXPECT_EQ(copy.idx, walk[i].cell);
  }
  copy.nextGray();
  EXPECT_TRUE(copy.idx.empty());
}

TEST(CellCounters, AddressesAndLimits) {
  CellCounters store({2, 3, 4});
  EXPECT_EQ(store.cells.size(), 24u);
  GridPoint index({2, 3, 4});
  index.idx = {1, 2, 3};
  EXPECT_EQ(store.addressOf(index), 23);
  store.put(index, 7);
  EXPECT_EQ(store.get(index), 7);
  index.idx = {0, 0, 1};
  EXPECT_EQ(store.addressOf(index), 1);
  EXPECT_EQ(CellCounters({}).cells.size(), 1u);

  // Eleven dimensions of eight bins cannot be addressed with 32-bit cells.
  try {
    CellCounters huge(arrint(11, 8));
    FAIL() << "no failure";
  } catch (const LadError& e) {
    EXPECT_NE(std::string(e.what()).find("11 attributes"), std::string::npos) << e.what();
  }
}

TEST(SubsetOrder, EnumerationOrders) {
  const struct {
    std::int32_t n, m;
    std::vector<arrint> maps;
  } cases[] = {
      {4, 2, {{2, 3}, {1, 3}, {1, 2}, {0, 3}, {0, 2}, {0, 1}}},
      {3, 1, {{2}, {1}, {0}}},
      {3, 3, {{0, 1, 2}}},
      {2, 5, {{0, 1}}},
      {3, 0, {{}}},
  };
  for (const auto& c : cases) {
    arrint map = subsetAt(c.n, c.m, 0);
    std::vector<arrint> maps{map};
    while (nextSubset(c.n, map)) maps.push_back(map);
    EXPECT_EQ(maps, c.maps) << c.n << " choose " << c.m;
    EXPECT_EQ(map, c.maps.back());  // the last subset stays in map
    EXPECT_EQ(subsetCount(c.n, c.m), static_cast<std::int64_t>(c.maps.size()));
  }
  EXPECT_EQ(subsetCount(0, 2), 0);
  EXPECT_THROW(subsetAt(0, 2, 0), ERangeError);
  EXPECT_THROW(subsetAt(3, -1, 0), ERangeError);
}
