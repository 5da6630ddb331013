#include "SearchData.h"

#include <cmath>

#include "LadError.h"

namespace {

// The first value in [lo, hi] where an ascending true/false test turns true, or hi + 1.
template <class Test>
std::int64_t firstTrue(std::int64_t lo, std::int64_t hi, Test test) {
  std::int64_t end = hi + 1;
  while (lo < end) {
    const std::int64_t mid = lo + (end - lo) / 2;
    if (test(mid)) {
      end = mid;
    } else {
      lo = mid + 1;
    }
  }
  return end;
}

}  // namespace

AcceptanceRule::AcceptanceRule(std::int32_t npos, std::int32_t nneg,
                               const LearningParameters& parameters)
    : npos_(npos),
      nneg_(nneg),
      positiveHomogeneity_(parameters.positiveHomogeneity),
      positivePrevalence_(parameters.positivePrevalence),
      negativeHomogeneity_(parameters.negativeHomogeneity),
      negativePrevalence_(parameters.negativePrevalence) {
  // Each test is monotone in the count it reads: a correctly rounded quotient never falls
  // when its numerator grows. So a search finds where each one turns.
  const std::int64_t total = std::int64_t{npos} + nneg;
  minPositive = firstTrue(0, npos, [&](std::int64_t p) {
    return static_cast<double>(p) / static_cast<double>(npos_) > positivePrevalence_;
  });
  minNegative = firstTrue(0, nneg, [&](std::int64_t n) {
    return static_cast<double>(n) / static_cast<double>(nneg_) > negativePrevalence_;
  });
  positiveFrom.assign(static_cast<std::size_t>(total + 1), total + 1);
  negativeUpTo.assign(static_cast<std::size_t>(total + 1), -1);
  for (std::int64_t t = 1; t <= total; ++t) {
    const auto sum = static_cast<double>(t);
    const std::int64_t homogeneous = firstTrue(
        0, t, [&](std::int64_t p) { return static_cast<double>(p) / sum > positiveHomogeneity_; });
    positiveFrom[static_cast<std::size_t>(t)] = std::max(homogeneous, minPositive);
    // p / t < negative homogeneity holds below the first p where it fails.
    const std::int64_t mixed = firstTrue(0, t, [&](std::int64_t p) {
      return !(static_cast<double>(p) / sum < negativeHomogeneity_);
    });
    negativeUpTo[static_cast<std::size_t>(t)] = std::min(mixed - 1, t - minNegative);
  }
  // Small enough to stay in the core's first-level cache beside the search's own data: a larger
  // table, read at random, costs more than the two threshold tables.
  constexpr std::int64_t kLargestVerdictTable = std::int64_t{1} << 14;
  if ((std::int64_t{npos} + 1) * (std::int64_t{nneg} + 1) <= kLargestVerdictTable) {
    countStride = std::int64_t{nneg} + 1;
    verdicts.resize(static_cast<std::size_t>((std::int64_t{npos} + 1) * countStride));
    for (std::int64_t p = 0; p <= npos; ++p) {
      for (std::int64_t n = 0; n <= nneg; ++n) {
        const auto t = static_cast<std::size_t>(p + n);
        verdicts[static_cast<std::size_t>(p * countStride + n)] = static_cast<std::uint8_t>(
            (p >= positiveFrom[t] ? 1 : 0) | (p <= negativeUpTo[t] ? 2 : 0));
      }
    }
  }
}

bool AcceptanceRule::positive(double p, double n) const {
  if (p + n <= 0) return false;
  const double h = p / (p + n);
  return h > positiveHomogeneity_ && p / npos_ > positivePrevalence_;
}

bool AcceptanceRule::negative(double p, double n) const {
  if (p + n <= 0) return false;
  const double h = p / (p + n);
  return h < negativeHomogeneity_ && n / nneg_ > negativePrevalence_;
}

namespace {

std::vector<std::size_t> everyAttribute(const CutpointGrid& grid) {
  std::vector<std::size_t> all(grid.attributes());
  for (std::size_t k = 0; k < all.size(); ++k) all[k] = k;
  return all;
}

}  // namespace

SearchData::SearchData(const TrainingTable& table, const CutpointGrid& grid,
                       const LearningParameters& parameters)
    : SearchData(table, grid, parameters, everyAttribute(grid)) {}

SearchData::SearchData(const TrainingTable& table, const CutpointGrid& grid,
                       const LearningParameters& parameters,
                       const std::vector<std::size_t>& attributes)
    : bins(attributes.size()),
      npos(table.positives()),
      nneg(table.negatives()),
      rule(npos, nneg, parameters) {
  for (const std::size_t k : attributes) sizes.push_back(grid.binCount(k));
  missingBin.assign(attributes.size(), -1);
  for (std::size_t r = 0; r < table.rows(); ++r) {
    const std::int32_t c = r < table.classes().size() ? table.classes()[r] : -1;
    if (c != 1 && c != 0) continue;
    weight.push_back(c == 1 ? kOnePositive : kOneNegative);
    for (std::size_t i = 0; i < attributes.size(); ++i) {
      const double value = table.values()[r][attributes[i]];
      if (std::isnan(value)) {
        missingBin[i] = sizes[i];
        bins[i].push_back(sizes[i]);
      } else {
        bins[i].push_back(grid.binOf(value, attributes[i]));
      }
    }
  }
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    if (missingBin[i] >= 0) ++sizes[i];
  }
}

void foldMissingBins(const SearchData& data, const arrint& map, std::vector<std::int32_t>& boxes,
                     std::int32_t dims) {
  const auto d = static_cast<std::size_t>(dims);
  for (std::size_t j = 0; j < d; ++j) {
    const std::int32_t missing = data.missingBin[static_cast<std::size_t>(map[j])];
    if (missing < 0) continue;
    for (std::size_t upper = d + j; upper < boxes.size(); upper += 2 * d) {
      if (boxes[upper] == missing) --boxes[upper];
    }
  }
}
