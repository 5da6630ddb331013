// Equal-frequency binning of every attribute by cut points taken from its own sorted values.
#include "CutpointGrid.h"

#include <cmath>

#include "LadError.h"
#include "KeyedLists.h"

CutpointGrid CutpointGrid::equalFrequency(const matreal& rows, std::size_t columns,
                                          std::int32_t gridSize) {
  if (rows.empty()) throw LadError("The data table has no observations to learn from");
  matreal cutpoints(columns);
  for (std::size_t k = 0; k < columns; ++k) {
    RealList values;
    for (std::size_t r = 0; r < rows.size(); ++r) values.add(static_cast<std::int32_t>(r), rows[r][k]);
    values.heapSortValues();

    // The order of the floating-point operations decides which positions are chosen:
    // for n = 7 and G = 7, (5 * (1/7)) * 7 truncates to 4.
    const auto n = static_cast<std::size_t>(values.size());
    const double step = 1.0 / static_cast<double>(n);
    const auto grid = static_cast<double>(gridSize);
    arrreal& row = cutpoints[k];
    std::int64_t prev = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const auto bin =
          static_cast<std::int64_t>(std::trunc((static_cast<double>(i) * step) * grid));
      if (bin != prev) row.push_back(values.vals[i]);
      prev = bin;
    }
    for (std::size_t i = row.size(); i-- > 1;) {
      if (row[i] == row[i - 1]) row.erase(row.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return CutpointGrid(std::move(cutpoints));
}

arrint CutpointGrid::binCounts() const {
  arrint counts(cutpoints_.size());
  for (std::size_t k = 0; k < counts.size(); ++k) counts[k] = binCount(k);
  return counts;
}

std::int32_t CutpointGrid::binOf(double key, std::size_t k) const {
  const arrreal& c = cutpoints_[k];
  const auto count = static_cast<std::int32_t>(c.size());
  if (count == 0 || key < c[0]) return 0;
  if (key >= c[static_cast<std::size_t>(count - 1)]) return count;
  std::int32_t lo = 0;
  std::int32_t hi = count - 1;
  while (hi - lo > 1) {
    const std::int32_t mid = (lo + hi) / 2;
    const double at = c[static_cast<std::size_t>(mid)];
    if (key == at) return mid + 1;
    if (key > at) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo + 1;
}

matint CutpointGrid::binsOf(const matreal& rows) const {
  matint bins(rows.size(), arrint(cutpoints_.size(), 0));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t k = 0; k < cutpoints_.size(); ++k) bins[r][k] = binOf(rows[r][k], k);
  }
  return bins;
}
