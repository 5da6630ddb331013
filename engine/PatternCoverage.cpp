#include "PatternCoverage.h"

#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <algorithm>

// Per attribute and cutpoint, the observations at or above it and those below it, as bits
// over the observations. (Both are kept: a value that is not a number is in neither.) Only the
// cutpoints that some pattern uses are computed, by need(): all of them would take
// observations x cutpoints bits, gigabytes for a fine grid over many observations. Once the
// needed ones are in, any number of threads may read them.
class PatternCoverage::CutpointSides {
 public:
  CutpointSides(const matreal& cutpoints, std::span<const arrreal> rows)
      : words((rows.size() + 63) / 64), cutpoints_(cutpoints), rows_(rows) {
    std::size_t total = 0;
    for (const arrreal& points : cutpoints) {
      first_.push_back(total);
      total += points.size();
    }
    known_.resize(2 * total);
  }

  // Computes the side of cutpoint i of attribute k, unless it is in already.
  void need(std::size_t k, std::size_t i, bool above) {
    std::vector<std::uint64_t>& bits = known_[at(k, i, above)];
    if (!bits.empty()) return;
    bits.assign(words, 0);
    const double c = cutpoints_[k][i];
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      if (k >= rows_[r].size()) continue;
      const double v = rows_[r][k];
      if (above ? v >= c : v < c) bits[r / 64] |= std::uint64_t{1} << (r % 64);
    }
  }
  const std::uint64_t* side(std::size_t k, std::size_t i, bool above) const {
    return known_[at(k, i, above)].data();
  }

  const std::size_t words;

 private:
  std::size_t at(std::size_t k, std::size_t i, bool above) const {
    return 2 * (first_[k] + i) + (above ? 1 : 0);
  }

  const matreal& cutpoints_;
  std::span<const arrreal> rows_;
  std::vector<std::size_t> first_;  // per attribute, the number of its first cutpoint
  std::vector<std::vector<std::uint64_t>> known_;
};

namespace {

// Patterns are set out in runs of this many, side by side: a multiple of 512, so that two
// runs never write to the same cache line of a row.
constexpr std::size_t kPatternsPerRun = 4096;

// Calls condition(k, i, above) for each condition of the pattern: at or above cutpoint i of
// attribute k (above), or below it, as boxHolds reads the box.
template <class Condition>
void forEachCondition(PatternView pattern, const matreal& cutpoints, Condition&& condition) {
  for (std::size_t x = 0; x < pattern.size(); ++x) {
    const auto k = static_cast<std::size_t>(pattern.map[x]);
    if (pattern.a[x] > 0) condition(k, static_cast<std::size_t>(pattern.a[x] - 1), true);
    if (pattern.b[x] < static_cast<std::int32_t>(cutpoints[k].size())) {
      condition(k, static_cast<std::size_t>(pattern.b[x]), false);
    }
  }
}

}  // namespace

PatternCoverage::PatternCoverage(const Model& model, std::span<const arrreal> rows)
    : PatternCoverage(model, rows, (rows.size() + 63) / 64 * 64) {
  cover(0, rows.size());
}

PatternCoverage::PatternCoverage(const Model& model, std::span<const arrreal> rows,
                                 std::size_t blockRows)
    : model_(model),
      sides_(std::make_unique<CutpointSides>(model.cutpoints(), rows)),
      patterns_(static_cast<std::size_t>(model.positive().size()) +
                static_cast<std::size_t>(model.negative().size())),
      rowWords_((patterns_ + 63) / 64) {
  bits_.reserve(blockRows * rowWords_);
  // The sides of every cutpoint that some pattern uses, over every row, once.
  for (const PatternSet* side : {&model.positive(), &model.negative()}) {
    for (std::int32_t i = 0; i < side->size(); ++i) {
      forEachCondition(
          side->pattern(i), model.cutpoints(),
          [&](std::size_t k, std::size_t c, bool above) { sides_->need(k, c, above); });
    }
  }
}

PatternCoverage::~PatternCoverage() = default;

void PatternCoverage::cover(std::size_t first, std::size_t count) {
  const Model& model = model_;
  const CutpointSides& sides = *sides_;
  const PatternSet& positive = model.positive();
  const PatternSet& negative = model.negative();
  const auto positives = static_cast<std::size_t>(positive.size());
  bits_.assign(count * rowWords_, 0);
  const std::size_t firstWord = first / 64;
  const std::size_t words = (count + 63) / 64;
  auto patternAt = [&](std::size_t j) {
    return j < positives ? positive.pattern(static_cast<std::int32_t>(j))
                         : negative.pattern(static_cast<std::int32_t>(j - positives));
  };
  const std::size_t runs = (patterns_ + kPatternsPerRun - 1) / kPatternsPerRun;
  // Isolated: a thread waiting for the last runs takes no other task of its caller meanwhile
  // (the writing of another file, say), which would hold up what waits for the bits.
  tbb::this_task_arena::isolate([&] {
    tbb::parallel_for(std::size_t{0}, runs, [&](std::size_t run) {
      std::vector<std::uint64_t> covered(words);
      const std::size_t last = std::min(patterns_, (run + 1) * kPatternsPerRun);
      for (std::size_t j = run * kPatternsPerRun; j < last; ++j) {
        const PatternView pattern = patternAt(j);
        // Every observation of the block, then the conditions of each coordinate in turn.
        for (std::size_t w = 0; w < words; ++w) {
          const std::size_t left = count - 64 * w;
          covered[w] = left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
        }
        forEachCondition(pattern, model.cutpoints(), [&](std::size_t k, std::size_t c, bool above) {
          const std::uint64_t* side = sides.side(k, c, above) + firstWord;
          for (std::size_t w = 0; w < words; ++w) covered[w] &= side[w];
        });
        const std::uint64_t bit = std::uint64_t{1} << (j % 64);
        for (std::size_t w = 0; w < words; ++w) {
          for (std::uint64_t word = covered[w]; word != 0; word &= word - 1) {
            const std::size_t r = 64 * w + static_cast<std::size_t>(__builtin_ctzll(word));
            bits_[r * rowWords_ + j / 64] |= bit;
          }
        }
      }
    });
  });
}
