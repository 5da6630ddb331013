#include "PatternSelection.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "PatternCoverage.h"

namespace {

// What ranks a candidate among those of equal gain.
struct Candidate {
  double purity = 0;
  std::int32_t conditions = 0;
  std::int32_t index = 0;  // its entry in the side's pattern set
};

std::int32_t conditionCount(PatternView pattern, const CutpointGrid& grid) {
  std::int32_t count = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto k = static_cast<std::size_t>(pattern.map[i]);
    if (pattern.a[i] > 0 || pattern.b[i] < grid.binCount(k) - 1) ++count;
  }
  return count;
}

// The kept entries of one side, ascending. `first` is the side's first pattern in the coverage.
std::vector<std::int32_t> selectSide(const PatternSet& side, std::size_t first,
                                     const PatternCoverage& coverage, const TrainingTable& table,
                                     std::int32_t sideClass, const CutpointGrid& grid,
                                     std::int32_t cover) {
  // The rows of the side's class; a pattern's rows of it as bits over them.
  std::vector<std::size_t> rows;
  for (std::size_t r = 0; r < table.rows(); ++r) {
    if (table.classes()[r] == sideClass) rows.push_back(r);
  }
  const std::size_t words = (rows.size() + 63) / 64;
  const auto patterns = static_cast<std::size_t>(side.size());
  std::vector<std::uint64_t> bits(patterns * words, 0);
  std::vector<std::int32_t> covering(rows.size(), 0);
  std::vector<std::int32_t> otherRows(patterns, 0);  // rows of the other class it covers
  for (std::size_t r = 0; r < table.rows(); ++r) {
    const std::int32_t c = table.classes()[r];
    if (c != 0 && c != 1) continue;
    const std::uint64_t* row = coverage.row(r);
    const auto at = std::lower_bound(rows.begin(), rows.end(), r) - rows.begin();
    // The set bits of the side's range [first, first + patterns) of the row.
    for (std::size_t w = first / 64; w * 64 < first + patterns; ++w) {
      std::uint64_t word = row[w];
      if (w * 64 < first) word &= ~std::uint64_t{0} << (first - w * 64);
      const std::size_t end = first + patterns;
      if (end < w * 64 + 64) word &= (std::uint64_t{1} << (end - w * 64)) - 1;
      for (; word != 0; word &= word - 1) {
      const std::size_t j = w * 64 + static_cast<std::size_t>(std::countr_zero(word)) - first;
      if (c == sideClass) {
        bits[j * words + static_cast<std::size_t>(at) / 64] |= std::uint64_t{1}
                                                                << (static_cast<std::size_t>(at) % 64);
        ++covering[static_cast<std::size_t>(at)];
      } else {
        ++otherRows[j];
      }
      }
    }
  }
  // How many more times each row must be covered.
  std::vector<std::int32_t> need(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) need[i] = std::min(covering[i], cover);
  std::vector<std::uint64_t> needy(words, 0);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (need[i] > 0) needy[i / 64] |= std::uint64_t{1} << (i % 64);
  }
  auto gainOf = [&](std::size_t j) {
    std::int32_t g = 0;
    for (std::size_t w = 0; w < words; ++w) g += std::popcount(bits[j * words + w] & needy[w]);
    return g;
  };

  std::vector<Candidate> candidates(patterns);
  for (std::size_t j = 0; j < patterns; ++j) {
    std::int32_t own = 0;
    for (std::size_t w = 0; w < words; ++w) own += std::popcount(bits[j * words + w]);
    const double all = static_cast<double>(own) + otherRows[j];
    candidates[j] = {all > 0 ? own / all : 0.0, conditionCount(side.pattern(static_cast<std::int32_t>(j)), grid),
                     static_cast<std::int32_t>(j)};
  }
  // A heap of (gain, candidate), gains as last computed: a gain only falls as rows are covered,
  // so a candidate whose fresh gain still ranks first is the greedy choice.
  struct Entry {
    std::int32_t gain;
    std::int32_t index;
  };
  auto ranksBelow = [&](const Entry& x, const Entry& y) {
    if (x.gain != y.gain) return x.gain < y.gain;
    const Candidate& a = candidates[static_cast<std::size_t>(x.index)];
    const Candidate& b = candidates[static_cast<std::size_t>(y.index)];
    if (a.purity != b.purity) return a.purity < b.purity;
    if (a.conditions != b.conditions) return a.conditions > b.conditions;
    return a.index > b.index;
  };
  std::vector<Entry> heap;
  for (std::size_t j = 0; j < patterns; ++j) {
    const std::int32_t g = gainOf(j);
    if (g > 0) heap.push_back({g, static_cast<std::int32_t>(j)});
  }
  std::make_heap(heap.begin(), heap.end(), ranksBelow);
  std::vector<std::int32_t> kept;
  while (!heap.empty()) {
    std::pop_heap(heap.begin(), heap.end(), ranksBelow);
    Entry top = heap.back();
    heap.pop_back();
    top.gain = gainOf(static_cast<std::size_t>(top.index));
    if (top.gain == 0) continue;
    if (!heap.empty() && ranksBelow(top, heap.front())) {
      heap.push_back(top);
      std::push_heap(heap.begin(), heap.end(), ranksBelow);
      continue;
    }
    kept.push_back(top.index);
    const auto j = static_cast<std::size_t>(top.index);
    for (std::size_t w = 0; w < words; ++w) {
      for (std::uint64_t word = bits[j * words + w] & needy[w]; word != 0; word &= word - 1) {
        const std::size_t i = 64 * w + static_cast<std::size_t>(std::countr_zero(word));
        if (--need[i] == 0) needy[w] &= ~(std::uint64_t{1} << (i % 64));
      }
    }
  }
  std::sort(kept.begin(), kept.end());
  return kept;
}

PatternSet keptOf(const PatternSet& side, const std::vector<std::int32_t>& kept) {
  PatternSet out;
  for (const std::int32_t j : kept) out.append(side.key(j), side.pattern(j));
  return out;
}

}  // namespace

Model selectPatterns(const Model& model, const TrainingTable& table, std::int32_t cover,
                     SelectionCounts* counts) {
  const PatternCoverage coverage(model, table.values());
  const auto positives = static_cast<std::size_t>(model.positive().size());
  const std::vector<std::int32_t> positive =
      selectSide(model.positive(), 0, coverage, table, 1, model.grid(), cover);
  const std::vector<std::int32_t> negative =
      selectSide(model.negative(), positives, coverage, table, 0, model.grid(), cover);
  if (counts != nullptr) {
    *counts = {static_cast<std::int32_t>(positive.size()), model.positive().size(),
               static_cast<std::int32_t>(negative.size()), model.negative().size()};
  }
  return Model(model.attributeNames(), model.grid(), keptOf(model.positive(), positive),
               keptOf(model.negative(), negative), model.format());
}
