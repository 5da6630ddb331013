// Progress and cancel of a whole build, at several thread counts.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "GeneratedTable.h"
#include "Intake.h"
#include "LadError.h"
#include "ModelBuilding.h"
#include "SubsetSweep.h"

namespace {

const LearningParameters kParameters{5, 3, 0.6, 0.1, 0.4, 0.1};

TrainingTable generated() {
  return intake(kParameters, generatedTable(80, 12, 5), NumberFormat{});
}

}  // namespace

TEST(BuildControl, SubsetCounts) {
  EXPECT_EQ(subsetCount(12, 3), 220);
  EXPECT_EQ(subsetCount(4, 9), 1);
  EXPECT_EQ(subsetCount(60, 3), 34220);
  EXPECT_EQ(subsetCount(2000, 3), 1331334000);
  EXPECT_EQ(subsetCount(0, 2), 0);
  EXPECT_EQ(subsetCount(1000, 500), std::numeric_limits<std::int64_t>::max());
}

TEST(BuildControl, ProgressRunsFromZeroToEverySubset) {
  for (const int threads : {1, 2, 3}) {
    std::vector<std::pair<std::int64_t, std::int64_t>> calls;
    std::mutex guard;
    BuildControl control;
    control.threads = threads;
    control.progress = [&](std::int64_t done, std::int64_t total) {
      const std::lock_guard<std::mutex> lock(guard);
      calls.emplace_back(done, total);
    };
    buildModel(generated(), kParameters, control);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), std::make_pair(std::int64_t{0}, std::int64_t{220}));
    EXPECT_EQ(calls.back(), std::make_pair(std::int64_t{220}, std::int64_t{220}));
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_LE(calls[i - 1].first, calls[i].first);
  }
}

TEST(BuildControl, CancelStopsTheBuild) {
  for (const int threads : {1, 2, 3}) {
    std::atomic<bool> cancel{false};
    BuildControl control;
    control.threads = threads;
    control.cancel = &cancel;
    control.progress = [&](std::int64_t, std::int64_t) { cancel = true; };
    try {
      buildModel(generated(), kParameters, control);
      FAIL() << "the build went on after cancel, at " << threads << " threads";
    } catch (const LadError& e) {
      EXPECT_STREQ(e.what(), "Build cancelled");
    }
  }
}

// A build whose grids could never be searched is refused at once, not after hours.
TEST(BuildControl, HopelessGridsAreRefusedBeforeSearching) {
  LearningParameters parameters;
  parameters.degree = 10;
  try {
    buildModel(intake(parameters, generatedTable(40, 12, 2), NumberFormat{}), parameters);
    FAIL() << "built";
  } catch (const LadError& e) {
    EXPECT_EQ(std::string(e.what()),
              "A subset of 10 attributes spans a grid of 1073741824 cells, too many to search in "
              "any reasonable time; lower the Grid Size or the Degree");
  }
}
