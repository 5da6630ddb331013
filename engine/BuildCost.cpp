#include "BuildCost.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "LadError.h"
#include "NumberText.h"
#include "SubsetSearch.h"
#include "SystemMemory.h"
#include "CellCounters.h"

std::string countText(double count) {
  if (count < 1e6) return integerText(static_cast<std::int64_t>(count));
  const int exponent = static_cast<int>(std::floor(std::log10(count)));
  const double mantissa = count / std::pow(10.0, exponent);
  const auto tenths = static_cast<int>(std::lround(mantissa * 10));
  return integerText(tenths / 10) + "." + integerText(tenths % 10) + "e" + integerText(exponent);
}

BuildCost estimateBuildCost(std::size_t rows, const arrint& sizes, std::int32_t degree) {
  BuildCost cost;
  const std::uint64_t n = rows;
  const std::uint64_t columns = sizes.size();
  std::uint64_t cutpoints = 0;
  for (const std::int32_t size : sizes) cutpoints += static_cast<std::uint64_t>(size);
  // The bins of every observation (a row each, with its vector's header and heap block), the
  // sort of one attribute's values, the cutpoints, the search's copy of the bins and the
  // classes, and the acceptance tables indexed by box size. Measured peaks are about twice
  // these arrays' sizes (the lists grow by doubling), so they count twice.
  cost.buildBytes = 2 * (n * (columns * 4 + 40) + n * 16 + cutpoints * 8 + columns * 40 +
                         columns * n * 4 + n * 8 + (n + 1) * 16);

  const std::size_t d = std::min(sizes.size(), static_cast<std::size_t>(std::max(degree, 0)));
  arrint largest(sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(d);
  const std::int64_t cells = gridCellCount(largest);
  cost.largestCells = cells < 0 ? 0 : static_cast<std::uint64_t>(cells);
  // A thread's grids for the largest subset, and each observation's cell.
  cost.threadBytes = cost.largestCells * searchBytesPerCell(largest) + n * 8;

  // The sum over subsets of the product of n (n + 1) / 2: the elementary symmetric polynomial
  // of degree d of those terms, built one attribute at a time.
  std::vector<double> sums(d + 1, 0.0);
  sums[0] = 1;
  for (const std::int32_t size : sizes) {
    const double pairs = static_cast<double>(size) * (static_cast<double>(size) + 1) / 2;
    for (std::size_t k = d; k >= 1; --k) sums[k] += sums[k - 1] * pairs;
  }
  cost.boxes = d == 0 ? 0 : sums[d];
  return cost;
}

arrint largestBinCounts(const matreal& data, std::int32_t gridSize) {
  const std::size_t columns = data.empty() ? 0 : data[0].size();
  arrint counts(columns, 0);
  std::vector<double> values;
  for (std::size_t k = 0; k < columns; ++k) {
    values.clear();
    for (const arrreal& row : data) {
      if (k < row.size()) values.push_back(row[k]);
    }
    std::sort(values.begin(), values.end());
    const auto distinct = std::unique(values.begin(), values.end()) - values.begin();
    counts[k] = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(distinct, 1), std::max(gridSize, 1)));
  }
  return counts;
}

void requireAffordable(const std::string& what, const BuildRun& run, std::uint64_t available,
                       const std::string& advice) {
  const auto threads = static_cast<std::uint64_t>(std::max(run.threadsEach, 1)) *
                       static_cast<std::uint64_t>(std::max(run.atOnce, 1));
  const std::uint64_t grids = threads * run.cost.threadBytes;
  const std::uint64_t need =
      static_cast<std::uint64_t>(std::max(run.atOnce, 1)) * run.cost.buildBytes + grids +
      run.extraBytes;
  if (available > 0 && need > available) {
    std::string parts =
        "search grids of " + integerText(static_cast<std::int64_t>(run.cost.largestCells)) +
        " cells on " + integerText(static_cast<std::int64_t>(threads)) +
        " thread(s): " + byteSize(grids) + "; the bins of " + integerText(std::max(run.atOnce, 1)) +
        " build(s): " + byteSize(need - grids - run.extraBytes);
    if (run.extraBytes > 0) parts += "; results: " + byteSize(run.extraBytes);
    throw LadError(what + " needs about " + byteSize(need) + " of memory (" + parts + "), but " +
                   byteSize(available) + " are available; lower " + advice);
  }
  const double boxes = run.cost.boxes * static_cast<double>(std::max<std::int64_t>(run.builds, 1));
  const double everyThread =
      static_cast<double>(threads) * static_cast<double>(std::max(run.processes, 1));
  const double seconds = boxes / (kBoxesPerSecond * everyThread);
  if (seconds > kLongestSearchSeconds) {
    throw LadError(what + " would judge up to " + countText(boxes) + " boxes, up to about " +
                   durationText(seconds) + " on " +
                   integerText(static_cast<std::int64_t>(everyThread)) + " thread(s); lower " +
                   advice);
  }
}

void requireAffordable(const std::string& what, const BuildRun& run, const std::string& advice) {
  requireAffordable(what, run, availableMemoryBytes(), advice);
}

std::string durationText(double seconds) {
  const auto rounded = [](double value, const char* unit) {
    if (value < 10) {
      const auto tenths = static_cast<std::int64_t>(std::lround(value * 10));
      return integerText(tenths / 10) + "." + integerText(tenths % 10) + " " + unit;
    }
    return integerText(static_cast<std::int64_t>(std::lround(value))) + " " + unit;
  };
  if (seconds < 60) return rounded(seconds, "seconds");
  if (seconds < 3600) return rounded(seconds / 60, "minutes");
  if (seconds < 48 * 3600) return rounded(seconds / 3600, "hours");
  if (seconds < 1000 * 86400) return rounded(seconds / 86400, "days");
  return countText(seconds / (365.25 * 86400)) + " years";
}
