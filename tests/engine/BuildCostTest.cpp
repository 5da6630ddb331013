// A build is weighed before it starts: the memory it needs against what there is, and the
// boxes its search judges against the time that takes.
#include <gtest/gtest.h>

#include "BuildCost.h"
#include "LadError.h"

namespace {

std::string refusal(const BuildRun& run, std::uint64_t available) {
  try {
    requireAffordable("The build", run, available, "the Grid Size or the Degree");
  } catch (const LadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(BuildCost, CountsEveryPairOfCellsOfEverySubsetOnce) {
  // Subsets {0,1}, {0,2}, {1,2} of bins 3, 4, 2: pairs 6, 10, 3 per coordinate.
  EXPECT_DOUBLE_EQ(estimateBuildCost(100, {3, 4, 2}, 2).boxes, 6 * 10 + 6 * 3 + 10 * 3);
  EXPECT_DOUBLE_EQ(estimateBuildCost(100, {3, 4, 2}, 5).boxes, 6 * 10 * 3);  // all three
  const BuildCost fine = estimateBuildCost(1000000, {1000000}, 1);
  EXPECT_DOUBLE_EQ(fine.boxes, 1e6 * (1e6 + 1) / 2);
  EXPECT_EQ(fine.largestCells, 1000000u);
  // Bins and observation lists grow with the observations, not with observations x bins.
  EXPECT_LT(fine.buildBytes + fine.threadBytes, std::uint64_t{256} << 20);
}

TEST(BuildCost, RefusesWhatCannotFitOrEndAndSaysHowMuch) {
  BuildRun run;
  run.cost = estimateBuildCost(1000000, {1000000}, 1);
  run.threadsEach = 2;
  // 10^6 bins at degree 1: judged boxes in a few minutes, memory in a few dozen MB.
  EXPECT_EQ(refusal(run, std::uint64_t{4} << 30), "");
  EXPECT_EQ(refusal(run, 0), "");  // memory unknown
  const std::string memory = refusal(run, 10 << 20);
  EXPECT_EQ(memory.rfind("The build needs about ", 0), 0u) << memory;
  EXPECT_NE(memory.find("search grids of 1000000 cells on 2 thread(s): "), std::string::npos);
  EXPECT_NE(memory.find("but 10 MB are available; lower the Grid Size or the Degree"),
            std::string::npos)
      << memory;

  run.cost = estimateBuildCost(1000, arrint(60, 1000), 3);
  EXPECT_EQ(refusal(run, 0),
            "The build would judge up to 4.3e21 boxes, up to about 135952 years on 2 thread(s); "
            "lower the Grid Size or the Degree");
}

TEST(BuildCost, BinsAreBoundedByTheGridAndTheDistinctValues) {
  const matreal data = {{1, 5, 0}, {2, 5, 0}, {3, 5, 0}, {2, 5, 0}};
  EXPECT_EQ(largestBinCounts(data, 8), (arrint{3, 1, 1}));
  EXPECT_EQ(largestBinCounts(data, 2), (arrint{2, 1, 1}));
}

TEST(BuildCost, TimesReadAsAUserSaysThem) {
  const std::pair<double, const char*> cases[] = {{4.25, "4.3 seconds"},   {45, "45 seconds"},
                                                  {600, "10 minutes"},     {5400, "1.5 hours"},
                                                  {3 * 86400, "3.0 days"}, {1e12, "31688 years"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(durationText(seconds), text) << seconds;
}
