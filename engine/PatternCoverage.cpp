#include "PatternCoverage.h"

#include <map>
#include <tuple>


namespace {

// Per attribute and cutpoint, the observations at or above it and those below it, as bits
// over the observations. (Both are kept: a value that is not a number is in neither.) Only the
// cutpoints that some pattern uses are computed, when first asked for: all of them would take
// observations x cutpoints bits, gigabytes for a fine grid over many observations.
class CutpointSides {
 public:
  CutpointSides(const matreal& cutpoints, const matreal& rows)
      : words((rows.size() + 63) / 64), cutpoints_(cutpoints), rows_(rows) {}

  const std::vector<std::uint64_t>& atOrAbove(std::size_t k, std::size_t i) {
    return side(k, i, true);
  }
  const std::vector<std::uint64_t>& below(std::size_t k, std::size_t i) {
    return side(k, i, false);
  }

  const std::size_t words;

 private:
  const std::vector<std::uint64_t>& side(std::size_t k, std::size_t i, bool above) {
    std::vector<std::uint64_t>& bits = known_[{k, i, above}];
    if (bits.empty()) {
      bits.assign(words, 0);
      const double c = cutpoints_[k][i];
      for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (k >= rows_[r].size()) continue;
        const double v = rows_[r][k];
        if (above ? v >= c : v < c) bits[r / 64] |= std::uint64_t{1} << (r % 64);
      }
    }
    return bits;
  }

  const matreal& cutpoints_;
  const matreal& rows_;
  std::map<std::tuple<std::size_t, std::size_t, bool>, std::vector<std::uint64_t>> known_;
};

}  // namespace

PatternCoverage::PatternCoverage(const Model& model, const matreal& values) {
  const std::size_t rows = values.size();
  CutpointSides sides(model.cutpoints(), values);
  const PatternSet* modelSides[] = {&model.positive(), &model.negative()};
  for (const PatternSet* side : modelSides) patterns_ += static_cast<std::size_t>(side->size());
  rowWords_ = (patterns_ + 63) / 64;
  bits_.assign(rows * rowWords_, 0);

  std::vector<std::uint64_t> covered(sides.words);
  std::size_t j = 0;
  for (const PatternSet* side : modelSides) {
    for (std::int32_t i = 0; i < side->size(); ++i, ++j) {
      const PatternView pattern = side->pattern(i);
      // Every observation, then the conditions of each coordinate in turn.
      for (std::size_t w = 0; w < sides.words; ++w) {
        const std::size_t left = rows - 64 * w;
        covered[w] = left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
      }
      for (std::size_t x = 0; x < pattern.size(); ++x) {
        const auto k = static_cast<std::size_t>(pattern.map[x]);
        const std::int32_t a = pattern.a[x];
        const std::int32_t b = pattern.b[x];
        if (a > 0) {
          const auto& side = sides.atOrAbove(k, static_cast<std::size_t>(a - 1));
          for (std::size_t w = 0; w < sides.words; ++w) covered[w] &= side[w];
        }
        if (b < static_cast<std::int32_t>(model.cutpoints()[k].size())) {
          const auto& side = sides.below(k, static_cast<std::size_t>(b));
          for (std::size_t w = 0; w < sides.words; ++w) covered[w] &= side[w];
        }
      }
      const std::uint64_t bit = std::uint64_t{1} << (j % 64);
      for (std::size_t w = 0; w < sides.words; ++w) {
        for (std::uint64_t word = covered[w]; word != 0; word &= word - 1) {
          const std::size_t r = 64 * w + static_cast<std::size_t>(__builtin_ctzll(word));
          bits_[r * rowWords_ + j / 64] |= bit;
        }
      }
    }
  }
}
