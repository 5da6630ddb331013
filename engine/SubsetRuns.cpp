#include "SubsetRuns.h"

#include <algorithm>
#include <limits>

#include "LadError.h"
#include "NumberText.h"

namespace {

constexpr std::int64_t kSaturated = std::numeric_limits<std::int64_t>::max();

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
  return a > kSaturated - b ? kSaturated : a + b;
}

// The subset order is the decreasing lexicographic order of the attribute numbers: the first
// number runs from n - m down to 0, and after it the rest of the subset in the same order
// over the numbers above it. A position is found by descending that tree, skipping whole
// branches by their size (or, to cut runs, by their cost).
class SubsetTree {
 public:
  SubsetTree(std::int32_t n, std::int32_t m) : n_(n), m_(m) {
    const auto columns = static_cast<std::size_t>(n) + 1;
    counts_.assign(static_cast<std::size_t>(m) + 1, std::vector<std::int64_t>(columns, 0));
    std::fill(counts_[0].begin(), counts_[0].end(), 1);
    for (std::size_t k = 1; k < counts_.size(); ++k) {
      for (std::int32_t j = n - 1; j >= 0; --j) {
        const auto at = static_cast<std::size_t>(j);
        counts_[k][at] = saturatingAdd(counts_[k][at + 1], counts_[k - 1][at + 1]);
      }
    }
  }

  // Subsets of k of the attributes j .. n - 1.
  std::int64_t count(std::int32_t k, std::int32_t j) const {
    return counts_[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)];
  }

  // Descends to the subset where skip(k, a, ...) stops skipping: at each level, with k
  // numbers still to choose above `low`, the branches a = n - k, n - k - 1, ... are offered
  // to skip(k, a) in order, which returns true to pass over branch a (its subsets then
  // precede the result) or false to enter it. Fills map and returns the subset's position.
  template <class Skip>
  std::int64_t descend(arrint& map, Skip skip) const {
    map.assign(static_cast<std::size_t>(m_), 0);
    std::int64_t position = 0;
    std::int32_t low = 0;
    for (std::int32_t k = m_; k >= 1; --k) {
      std::int32_t a = n_ - k;
      for (; a > low && skip(k, a); --a) position += count(k - 1, a + 1);
      map[static_cast<std::size_t>(m_ - k)] = a;
      low = a + 1;
    }
    return position;
  }

 private:
  std::int32_t n_, m_;
  std::vector<std::vector<std::int64_t>> counts_;  // counts_[k][j]: C(n - j, k), saturated
};

}  // namespace

std::int64_t subsetCount(std::int32_t n, std::int32_t m) {
  if (n <= 0) return 0;
  m = std::min(m, n);
  m = std::min(m, n - m);
  std::int64_t count = 1;
  for (std::int32_t i = 1; i <= m; ++i) {
    // count * (n - m + i) / i stays whole at every step.
    const std::int64_t factor = n - m + i;
    if (count > std::numeric_limits<std::int64_t>::max() / factor) {
      return std::numeric_limits<std::int64_t>::max();
    }
    count = count * factor / i;
  }
  return count;
}

arrint subsetAt(std::int32_t n, std::int32_t m, std::int64_t index) {
  m = std::min(m, n);
  if (m < 0 || index < 0 || index >= subsetCount(n, m)) throw ERangeError();
  const SubsetTree tree(n, m);
  arrint map;
  std::int64_t left = index;
  tree.descend(map, [&](std::int32_t k, std::int32_t a) {
    const std::int64_t branch = tree.count(k - 1, a + 1);
    if (left < branch) return false;
    left -= branch;
    return true;
  });
  return map;
}

bool nextSubset(std::int32_t n, arrint& map) {
  // The preceding subset in lexicographic order: lower the last number that can go down by
  // one without meeting its left neighbour, then raise every number after it as far as it
  // goes.
  const auto m = static_cast<std::int32_t>(map.size());
  for (std::int32_t i = m - 1; i >= 0; --i) {
    const std::int32_t floor = i == 0 ? 0 : map[static_cast<std::size_t>(i - 1)] + 1;
    if (map[static_cast<std::size_t>(i)] > floor) {
      --map[static_cast<std::size_t>(i)];
      for (std::int32_t j = i + 1; j < m; ++j) map[static_cast<std::size_t>(j)] = n - m + j;
      return true;
    }
  }
  return false;
}

std::vector<SubsetRun> cutSubsetRuns(const arrint& sizes, std::size_t observations,
                                     std::int32_t degree, std::int64_t runs) {
  const auto n = static_cast<std::int32_t>(sizes.size());
  const std::int32_t m = std::clamp(degree, 0, n);
  const SubsetTree tree(n, m);
  const std::int64_t total = subsetCount(n, m);
  if (total == kSaturated) {
    throw LadError("The subsets of " + integerText(m) + " of " + integerText(n) +
                   " attributes are too many to count; lower the Degree");
  }
  if (total == 0) return {};

  // cells[k][j]: the cells of every subset of k of the attributes j .. n - 1, added up.
  const auto columns = static_cast<std::size_t>(n) + 1;
  std::vector<std::vector<double>> cells(static_cast<std::size_t>(m) + 1,
                                         std::vector<double>(columns, 0.0));
  std::fill(cells[0].begin(), cells[0].end(), 1.0);
  for (std::size_t k = 1; k < cells.size(); ++k) {
    for (std::int32_t j = n - 1; j >= 0; --j) {
      const auto at = static_cast<std::size_t>(j);
      cells[k][at] = cells[k][at + 1] + sizes[at] * cells[k - 1][at + 1];
    }
  }
  const auto rows = static_cast<double>(observations);
  const double wholeCost =
      cells[static_cast<std::size_t>(m)][0] + rows * static_cast<double>(total);

  const std::int64_t wanted = std::clamp<std::int64_t>(runs, 1, total);
  std::vector<std::int64_t> starts{0};
  arrint map;
  for (std::int64_t r = 1; r < wanted; ++r) {
    // The run starts at the subset whose cost holds the r-th share's boundary.
    double left = wholeCost * static_cast<double>(r) / static_cast<double>(wanted);
    const std::int64_t start = tree.descend(map, [&](std::int32_t k, std::int32_t a) {
      // The cells of the numbers chosen so far, map[0 .. m - k), times those of the branch.
      double product = sizes[static_cast<std::size_t>(a)];
      for (std::int32_t i = 0; i < m - k; ++i) {
        product *= sizes[static_cast<std::size_t>(map[static_cast<std::size_t>(i)])];
      }
      const double branch =
          product * cells[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(a + 1)] +
          rows * static_cast<double>(tree.count(k - 1, a + 1));
      if (left < branch) return false;
      left -= branch;
      return true;
    });
    if (start > starts.back()) starts.push_back(start);
  }
  std::vector<SubsetRun> cut;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::int64_t end = i + 1 < starts.size() ? starts[i + 1] : total;
    cut.push_back({starts[i], end - starts[i], 0});
  }
  return cut;
}
