// The read-only training data that the search of every attribute subset shares.
#pragma once

#include <cstdint>
#include <vector>

#include "ArrayTypes.h"
#include "CutpointGrid.h"
#include "LearningParameters.h"
#include "TrainingTable.h"

// Which boxes the four thresholds accept, as the model judges them: a box with p positive and
// n negative observations (p + n > 0) is positive when p / (p + n) > positive homogeneity and
// p / npos > positive prevalence, and negative when p / (p + n) < negative homogeneity and
// n / nneg > negative prevalence, all in 64-bit floating point. The tables give the same
// answers by integer comparisons.
class AcceptanceRule {
 public:
  AcceptanceRule(std::int32_t npos, std::int32_t nneg, const LearningParameters& parameters);

  bool positive(double p, double n) const;
  bool negative(double p, double n) const;

  // For total t = p + n (0 <= t <= npos + nneg): the box is positive exactly when
  // p >= positiveFrom[t], and negative exactly when p <= negativeUpTo[t].
  std::vector<std::int64_t> positiveFrom;
  std::vector<std::int64_t> negativeUpTo;
  // Necessary conditions that only grow with the box: a positive box has at least
  // minPositive positive observations, a negative one at least minNegative negative ones.
  std::int64_t minPositive = 0;
  std::int64_t minNegative = 0;
  // The same verdicts by counts, where there are few enough observations for a small table:
  // verdicts[p * countStride + n] has bit 0 set when the box is positive, bit 1 when it is
  // negative. Empty for a larger table.
  std::vector<std::uint8_t> verdicts;
  std::int64_t countStride = 0;

 private:
  std::int32_t npos_, nneg_;
  double positiveHomogeneity_, positivePrevalence_, negativeHomogeneity_, negativePrevalence_;
};

// The table's bins over the grid. Only observations of class 1 or 0 take part; the others are
// left out here.
struct SearchData {
  SearchData(const TrainingTable& table, const CutpointGrid& grid,
             const LearningParameters& parameters);
  // The same over only these attributes of the grid, in this order: attribute i of the search
  // is attribute attributes[i] of the table.
  SearchData(const TrainingTable& table, const CutpointGrid& grid,
             const LearningParameters& parameters, const std::vector<std::size_t>& attributes);

  // Bins of every attribute: the grid's bins, and one more for an attribute that some kept
  // observation misses, whose missing values all fall in that last bin.
  arrint sizes;
  std::vector<arrint> bins;  // per attribute, the bin of every kept observation
  // Per attribute, the bin of its missing values, or -1 when no kept observation misses it.
  // A box constrains such an attribute only within its known bins, or spans every bin, the
  // missing one included (no condition): see spansValidly.
  std::vector<std::uint64_t> weight;  // per kept observation: 1 << 32 positive, 1 negative
  std::int32_t npos = 0;
  std::int32_t nneg = 0;
  AcceptanceRule rule;

  arrint missingBin;

  std::size_t rows() const { return weight.size(); }
};

// Whether bins lower..upper of an attribute whose missing values fall in bin `missing` (-1:
// none) form a condition that a missing value never meets: within the known bins but not all
// of them, or every bin, missing included, which is no condition at all. Every other span
// would let a missing value meet a condition, or would be a condition ("the value is known")
// that the model's files cannot state.
inline bool spansValidly(std::int32_t lower, std::int32_t upper, std::int32_t missing) {
  return missing < 0 || (lower == 0 ? upper != missing - 1 : upper != missing);
}

// The boxes of a search over SearchData's bins in the grid's own bins: a span that ends in the
// missing bin (and so spans every bin) ends in the last known bin instead.
void foldMissingBins(const SearchData& data, const arrint& map, std::vector<std::int32_t>& boxes,
                     std::int32_t dims);

// The count of one class in a packed pair of counts: positives above bit 32, negatives below.
inline std::int64_t positivesOf(std::uint64_t packed) {
  return static_cast<std::int64_t>(packed >> 32);
}
inline std::int64_t negativesOf(std::uint64_t packed) {
  return static_cast<std::int64_t>(packed & 0xffffffffu);
}
constexpr std::uint64_t kOnePositive = std::uint64_t{1} << 32;
constexpr std::uint64_t kOneNegative = 1;
