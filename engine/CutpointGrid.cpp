// The cut points of every attribute: equal-frequency bins, or class-aware splits.
#include "CutpointGrid.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "KeyedLists.h"
#include "LadError.h"

CutpointGrid CutpointGrid::equalFrequency(const matreal& rows, std::size_t columns,
                                          std::int32_t gridSize) {
  if (rows.empty()) throw LadError("The data table has no observations to learn from");
  matreal cutpoints(columns);
  for (std::size_t k = 0; k < columns; ++k) {
    // Missing values (not a number) take no part: the bins split the known values.
    RealList values;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (!std::isnan(rows[r][k])) values.add(static_cast<std::int32_t>(r), rows[r][k]);
    }
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

namespace {

// The class entropy, in bits, of p positive and n negative observations.
double entropy(double p, double n) {
  const double all = p + n;
  double e = 0;
  for (const double c : {p, n}) {
    if (c > 0) e -= c / all * std::log2(c / all);
  }
  return e;
}

// The classes present among p positive and n negative observations.
int classesIn(double p, double n) {
  return (p > 0 ? 1 : 0) + (n > 0 ? 1 : 0);
}

// One attribute's values sorted ascending, with the positives and negatives at or before each.
struct SortedColumn {
  arrreal values;
  std::vector<double> positivesUpTo;  // positivesUpTo[i]: positives among values[0..i]
  std::vector<double> negativesUpTo;
};

// The best accepted split of values[from..to) (end exclusive), as the index of the first value
// above it and the entropy it gains; index 0 when no split pays for itself.
struct Split {
  std::size_t at = 0;
  double gain = 0;
};

Split bestSplit(const SortedColumn& c, std::size_t from, std::size_t to) {
  auto counts = [&](std::size_t end, double& p, double& n) {  // in values[from..end)
    p = (end > 0 ? c.positivesUpTo[end - 1] : 0) - (from > 0 ? c.positivesUpTo[from - 1] : 0);
    n = (end > 0 ? c.negativesUpTo[end - 1] : 0) - (from > 0 ? c.negativesUpTo[from - 1] : 0);
  };
  double p = 0;
  double n = 0;
  counts(to, p, n);
  const double all = p + n;
  const double whole = entropy(p, n);
  if (whole == 0) return {};
  Split best;
  double bestEntropy = whole;
  double leftP = 0;
  double leftN = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    if (!(c.values[i - 1] < c.values[i])) continue;  // a split lies between distinct values
    counts(i, leftP, leftN);
    const double left = leftP + leftN;
    const double e =
        (left * entropy(leftP, leftN) + (all - left) * entropy(p - leftP, n - leftN)) / all;
    if (e < bestEntropy) {
      bestEntropy = e;
      best.at = i;
    }
  }
  if (best.at == 0) return {};
  counts(best.at, leftP, leftN);
  const double gain = whole - bestEntropy;
  const double delta = std::log2(std::pow(3.0, classesIn(p, n)) - 2) -
                       (classesIn(p, n) * whole - classesIn(leftP, leftN) * entropy(leftP, leftN) -
                        classesIn(p - leftP, n - leftN) * entropy(p - leftP, n - leftN));
  if (!(gain > (std::log2(all - 1) + delta) / all)) return {};
  best.gain = gain;
  return best;
}

arrreal classAwareCuts(const matreal& rows, const arrint& classes, std::size_t k,
                       std::int32_t gridSize) {
  std::vector<std::pair<double, std::int32_t>> known;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::int32_t c = r < classes.size() ? classes[r] : -1;
    if ((c == 1 || c == 0) && !std::isnan(rows[r][k])) known.emplace_back(rows[r][k], c);
  }
  std::sort(known.begin(), known.end());
  SortedColumn column;
  double p = 0;
  double n = 0;
  for (const auto& [value, c] : known) {
    (c == 1 ? p : n) += 1;
    column.values.push_back(value);
    column.positivesUpTo.push_back(p);
    column.negativesUpTo.push_back(n);
  }
  // Intervals waiting to be split, the one that gains most first (then the leftmost).
  struct Pending {
    std::size_t from, to;
    Split split;
  };
  auto before = [](const Pending& x, const Pending& y) {
    return x.split.gain < y.split.gain || (x.split.gain == y.split.gain && x.from > y.from);
  };
  std::vector<Pending> queue;
  auto consider = [&](std::size_t from, std::size_t to) {
    const Split split = bestSplit(column, from, to);
    if (split.at == 0) return;
    queue.push_back({from, to, split});
    std::push_heap(queue.begin(), queue.end(), before);
  };
  consider(0, column.values.size());
  arrreal cuts;
  while (!queue.empty() && static_cast<std::int64_t>(cuts.size()) + 1 < gridSize) {
    std::pop_heap(queue.begin(), queue.end(), before);
    const Pending next = queue.back();
    queue.pop_back();
    cuts.push_back(column.values[next.split.at]);
    consider(next.from, next.split.at);
    consider(next.split.at, next.to);
  }
  std::sort(cuts.begin(), cuts.end());
  return cuts;
}

}  // namespace

CutpointGrid CutpointGrid::classAware(const matreal& rows, const arrint& classes,
                                      std::size_t columns, std::int32_t gridSize) {
  if (rows.empty()) throw LadError("The data table has no observations to learn from");
  matreal cutpoints(columns);
  for (std::size_t k = 0; k < columns; ++k)
    cutpoints[k] = classAwareCuts(rows, classes, k, gridSize);
  return CutpointGrid(std::move(cutpoints));
}
