// The score of a point against the whole model.
#include "TLAD.h"

double TLAD::getIndex(const arrreal& point, std::int32_t /*pointclass*/) const {
  auto countTriggered = [&](const TPandect* pandect) {
    std::int32_t count = 0;
    if (pandect != nullptr) {
      for (std::int32_t i = 0; i < pandect->size(); ++i) {
        if (boxHolds(pandect->pattern(i), cutpoints, point)) ++count;
      }
    }
    return count;
  };
  const std::int32_t p = countTriggered(pospandect.get());
  const std::int32_t n = countTriggered(negpandect.get());
  return scoreFromCounts(p, pospandect ? pospandect->size() : 0, n,
                         negpandect ? negpandect->size() : 0);
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
