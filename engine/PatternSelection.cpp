#include "PatternSelection.h"

#include <algorithm>
#include <bit>
#include <functional>
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
  // Turned from rows of bits into patterns of bits a word (64 patterns) at a time, so that
  // the bits written stay in cache.
  std::vector<std::size_t> place(table.rows(), 0);  // a row's index among `rows`
  for (std::size_t i = 0; i < rows.size(); ++i) place[rows[i]] = i;
  const std::size_t end = first + patterns;
  for (std::size_t w = first / 64; w * 64 < end; ++w) {
    std::uint64_t range = ~std::uint64_t{0};
    if (w * 64 < first) range &= ~std::uint64_t{0} << (first - w * 64);
    if (end < w * 64 + 64) range &= (std::uint64_t{1} << (end - w * 64)) - 1;
    for (std::size_t r = 0; r < table.rows(); ++r) {
      const std::int32_t c = table.classes()[r];
      if (c != 0 && c != 1) continue;
      const std::size_t i = place[r];
      for (std::uint64_t word = coverage.row(r)[w] & range; word != 0; word &= word - 1) {
        const std::size_t j = w * 64 + static_cast<std::size_t>(std::countr_zero(word)) - first;
        if (c == sideClass) {
          bits[j * words + i / 64] |= std::uint64_t{1} << (i % 64);
          ++covering[i];
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
  // The candidates in the order that breaks ties of gain: purer, then fewer conditions, then
  // earlier.
  std::vector<std::int32_t> order(patterns);
  for (std::size_t j = 0; j < patterns; ++j) order[j] = static_cast<std::int32_t>(j);
  std::sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    const Candidate& a = candidates[static_cast<std::size_t>(x)];
    const Candidate& b = candidates[static_cast<std::size_t>(y)];
    if (a.purity != b.purity) return a.purity > b.purity;
    if (a.conditions != b.conditions) return a.conditions < b.conditions;
    return a.index < b.index;
  });
  // Per gain, as last computed, a min-heap of ranks in that order. A gain only falls as rows
  // are covered, so the first-ranked candidate of the highest gain whose fresh gain is still
  // that gain is the greedy choice; one whose gain fell moves to its new gain.
  std::vector<std::vector<std::int32_t>> buckets(rows.size() + 1);
  for (std::size_t rank = 0; rank < patterns; ++rank) {
    const std::int32_t g = gainOf(static_cast<std::size_t>(order[rank]));
    if (g > 0) buckets[static_cast<std::size_t>(g)].push_back(static_cast<std::int32_t>(rank));
  }
  // Appended in ascending rank, each bucket already is a min-heap.
  const std::greater<> after;
  std::vector<std::int32_t> kept;
  for (std::size_t top = buckets.size(); top-- > 1;) {
    std::vector<std::int32_t>& bucket = buckets[top];
    while (!bucket.empty()) {
      std::pop_heap(bucket.begin(), bucket.end(), after);
      const std::int32_t rank = bucket.back();
      bucket.pop_back();
      const auto j = static_cast<std::size_t>(order[static_cast<std::size_t>(rank)]);
      const std::int32_t g = gainOf(j);
      if (static_cast<std::size_t>(g) < top) {
        if (g > 0) {
          std::vector<std::int32_t>& lower = buckets[static_cast<std::size_t>(g)];
          lower.push_back(rank);
          std::push_heap(lower.begin(), lower.end(), after);
        }
        continue;
      }
      kept.push_back(static_cast<std::int32_t>(j));
      for (std::size_t w = 0; w < words; ++w) {
        for (std::uint64_t word = bits[j * words + w] & needy[w]; word != 0; word &= word - 1) {
          const std::size_t i = 64 * w + static_cast<std::size_t>(std::countr_zero(word));
          if (--need[i] == 0) needy[w] &= ~(std::uint64_t{1} << (i % 64));
        }
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
