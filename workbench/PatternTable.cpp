#include "PatternTable.h"

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>

#include <bit>
#include <cmath>

#include "PatternBrowse.h"

namespace {

constexpr std::uint64_t kAll = ~std::uint64_t{0};

void setBit(std::vector<std::uint64_t>& bits, std::size_t r) {
  bits[r / 64] |= std::uint64_t{1} << (r % 64);
}

}  // namespace

PatternTable::PatternTable(ModelRules rules) : rules_(std::move(rules)) {
  covered_.assign(static_cast<std::size_t>(rules_.size()), RowCounts{});
  degrees_.resize(static_cast<std::size_t>(rules_.size()));
  tbb::parallel_for(tbb::blocked_range<std::int32_t>(0, rules_.size(), 1024),
                    [&](const tbb::blocked_range<std::int32_t>& range) {
                      for (std::int32_t j = range.begin(); j != range.end(); ++j) {
                        degrees_[static_cast<std::size_t>(j)] = rules_.degree(j);
                      }
                    });
}

PatternTable::PatternTable(ModelRules rules, ObservationTable table)
    : rules_(std::move(rules)), table_(std::move(table)), hasTable_(true) {
  requireTableFitsModel(rules_, table_);
  table_.widen(rules_.attributeCount());
  computeCoverage();
}

void PatternTable::computeCoverage() {
  const std::size_t rows = table_.rows();
  words_ = (rows + 63) / 64;
  positiveMask_.assign(words_, 0);
  negativeMask_.assign(words_, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    const std::int32_t c = table_.observationClass(r);
    if (c == 1) {
      setBit(positiveMask_, r);
      ++positiveRows_;
    } else if (c == 0) {
      setBit(negativeMask_, r);
      ++negativeRows_;
    }
  }
  const std::size_t attributes = rules_.attributeCount();
  atOrAbove_.assign(attributes, {});
  ordered_.assign(attributes, std::vector<std::uint64_t>(words_, 0));
  tbb::parallel_for(std::size_t{0}, attributes, [&](std::size_t k) {
    const arrreal& cuts = rules_.cutpoints(k);
    atOrAbove_[k].assign(cuts.size(), std::vector<std::uint64_t>(words_, 0));
    for (std::size_t r = 0; r < rows; ++r) {
      const double v = table_.values(r)[k];
      if (std::isnan(v)) continue;
      setBit(ordered_[k], r);
      // Cutpoints ascend: v is at or above a leading run of them.
      for (std::size_t i = 0; i < cuts.size() && v >= cuts[i]; ++i) setBit(atOrAbove_[k][i], r);
    }
  });

  covered_.assign(static_cast<std::size_t>(rules_.size()), RowCounts{});
  degrees_.resize(static_cast<std::size_t>(rules_.size()));
  tbb::parallel_for(tbb::blocked_range<std::int32_t>(0, rules_.size(), 256),
                    [&](const tbb::blocked_range<std::int32_t>& range) {
                      std::vector<std::uint64_t> bits(words_);
                      for (std::int32_t j = range.begin(); j != range.end(); ++j) {
                        coverBits(j, bits);
                        RowCounts counts;
                        for (std::size_t w = 0; w < words_; ++w) {
                          counts.positive += std::popcount(bits[w] & positiveMask_[w]);
                          counts.negative += std::popcount(bits[w] & negativeMask_[w]);
                        }
                        covered_[static_cast<std::size_t>(j)] = counts;
                        degrees_[static_cast<std::size_t>(j)] = rules_.degree(j);
                      }
                    });
}

void PatternTable::coverBits(std::int32_t j, std::vector<std::uint64_t>& bits) const {
  const std::size_t rows = table_.rows();
  for (std::size_t w = 0; w < words_; ++w) {
    const std::size_t left = rows - 64 * w;
    bits[w] = left >= 64 ? kAll : (std::uint64_t{1} << left) - 1;
  }
  // The comparisons of the model's own check, coordinate by coordinate: v >= c[a-1] is the
  // row's bit "at or above" that cutpoint, v < c[b] is "a number and not at or above".
  const PatternView pattern = rules_.view(j);
  for (std::size_t x = 0; x < pattern.size(); ++x) {
    const auto k = static_cast<std::size_t>(pattern.map[x]);
    const std::int32_t a = pattern.a[x];
    const std::int32_t b = pattern.b[x];
    if (a > 0) {
      const auto& side = atOrAbove_[k][static_cast<std::size_t>(a - 1)];
      for (std::size_t w = 0; w < words_; ++w) bits[w] &= side[w];
    }
    if (b < static_cast<std::int32_t>(atOrAbove_[k].size())) {
      const auto& above = atOrAbove_[k][static_cast<std::size_t>(b)];
      const auto& ordered = ordered_[k];
      for (std::size_t w = 0; w < words_; ++w) bits[w] &= ordered[w] & ~above[w];
    }
  }
}

std::optional<double> PatternTable::prevalence(std::int32_t j) const {
  const bool positive = isPositive(j);
  const std::int32_t total = positive ? positiveRows_ : negativeRows_;
  if (total == 0) return std::nullopt;
  const std::int32_t own = positive ? covered(j).positive : covered(j).negative;
  return static_cast<double>(own) / static_cast<double>(total);
}

std::optional<double> PatternTable::homogeneity(std::int32_t j) const {
  const std::int32_t all = coverage(j);
  if (all == 0) return std::nullopt;
  const std::int32_t own = isPositive(j) ? covered(j).positive : covered(j).negative;
  return static_cast<double>(own) / static_cast<double>(all);
}

std::int32_t PatternTable::unclassifiedRows() const {
  return static_cast<std::int32_t>(table_.rows()) - positiveRows_ - negativeRows_;
}

std::vector<std::int32_t> PatternTable::coveredRows(std::int32_t j) const {
  std::vector<std::int32_t> found;
  if (!hasTable_) return found;
  std::vector<std::uint64_t> bits(words_);
  coverBits(j, bits);
  for (std::size_t w = 0; w < words_; ++w) {
    for (std::uint64_t word = bits[w]; word != 0; word &= word - 1) {
      found.push_back(
          static_cast<std::int32_t>(64 * w + static_cast<std::size_t>(std::countr_zero(word))));
    }
  }
  return found;
}

std::vector<std::int32_t> PatternTable::sortedOrder(PatternSortKey key) const {
  std::vector<std::int32_t> order(static_cast<std::size_t>(size()));
  for (std::int32_t j = 0; j < size(); ++j) order[static_cast<std::size_t>(j)] = j;
  switch (key) {
    case PatternSortKey::Prevalence:
      sortPatterns(*this, order, PatternColumn::Prevalence, false);
      break;
    case PatternSortKey::Homogeneity:
      sortPatterns(*this, order, PatternColumn::Homogeneity, false);
      break;
    case PatternSortKey::Coverage:
      sortPatterns(*this, order, PatternColumn::Coverage, false);
      break;
    case PatternSortKey::Degree:
      sortPatterns(*this, order, PatternColumn::Degree, true);
      break;
    case PatternSortKey::Model:
      break;
  }
  return order;
}
