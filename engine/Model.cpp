#include "Model.h"

#include "Description.h"

Model::Model(std::vector<std::string> attributeNames, CutpointGrid grid, PatternSet positive,
             PatternSet negative, const NumberFormat& format)
    : attributeNames_(std::move(attributeNames)),
      grid_(std::move(grid)),
      positive_(std::move(positive)),
      negative_(std::move(negative)),
      format_(format) {
  for (std::size_t k = 0; k < attributeNames_.size(); ++k) {
    if (k > 0) attributeLine_ += ',';
    attributeLine_ += attributeNames_[k];
  }
}

double Model::score(std::span<const double> values) const {
  auto satisfied = [&](const PatternSet& patterns) {
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < patterns.size(); ++i) {
      if (boxHolds(patterns.pattern(i), grid_.cutpoints(), values)) ++count;
    }
    return count;
  };
  return scoreFromCounts(satisfied(positive_), positive_.size(), satisfied(negative_),
                         negative_.size());
}

std::string Model::describe(PatternView pattern) const {
  return describePattern(pattern, attributeNames_.size(), grid_.cutpoints(),
                         [this](std::size_t k, std::size_t i) {
                           return grid_.cutpointText(k, i, format_);
                         });
}

double scoreFromCounts(std::int32_t positive, std::int32_t positiveTotal, std::int32_t negative,
                       std::int32_t negativeTotal) {
  double score = 0.0;
  if (positiveTotal > 0) {
    score = score + static_cast<double>(positive) / static_cast<double>(positiveTotal);
  }
  if (negativeTotal > 0) {
    score = score - static_cast<double>(negative) / static_cast<double>(negativeTotal);
  }
  return score;
}
