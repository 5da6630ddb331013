// Figures of parameter tuning on a real table: the default grid of threshold lists, 10 folds,
// at degree 2, on one thread and on every core; and one cross-validation at degree 3.
//
//   lad_tune_bench [TABLE]   (default: bench/data/wdbc.csv, 569 rows x 30 attributes)
#include <chrono>
#include <cstdio>
#include <string>

#include "CrossValidation.h"
#include "SubsetSweep.h"
#include "TextFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : std::string(LAD_BENCH_DATA) + "/wdbc.csv";
  const std::string table = readTextFile(file);
  const TuningGrid grid;
  const std::size_t sets = grid.positiveHomogeneity.size() * grid.positivePrevalence.size() *
                           grid.negativeHomogeneity.size() * grid.negativePrevalence.size();
  std::printf("%s, lad tune at degree 2, default grid: %zu sets x 10 folds = %zu builds\n",
              file.c_str(), sets, sets * 10);
  double oneThread = 0;
  for (const int threads : {1, defaultThreadCount()}) {
    ValidationOptions options;
    options.control.threads = threads;
    LearningParameters parameters;
    parameters.degree = 2;
    const Clock::time_point start = Clock::now();
    const auto ranked =
        tuneParameters(parameters, grid, table, options, TuningCriterion::BalancedAccuracy, {});
    const double seconds = secondsSince(start);
    if (threads == 1) oneThread = seconds;
    std::printf("  %d thread(s): %.2f s (%.1f ms per build), best balanced accuracy %.4f", threads,
                seconds, 1000 * seconds / static_cast<double>(sets * 10),
                ranked.front().summary.balancedAccuracy.mean);
    if (threads != 1) std::printf(", speed-up %.2fx", oneThread / seconds);
    std::printf("\n");
  }
  ValidationOptions options;
  const LearningParameters degreeThree{8, 3, 0.9, 0.05, 0.1, 0.05};
  const Clock::time_point start = Clock::now();
  const CrossValidationResult result = crossValidate(degreeThree, table, options, {});
  std::printf(
      "lad cv at degree 3 (0.9/0.05/0.1/0.05), 10 folds, every core: %.2f s, balanced "
      "accuracy %.4f +- %.4f\n",
      secondsSince(start), result.summary.balancedAccuracy.mean,
      result.summary.balancedAccuracy.deviation);
  return 0;
}
