// Whether a point satisfies a pattern, and the score of a point against the whole model.
#include "TLAD.h"

bool TLAD::triggered(const arrreal& point, PatternView pat, std::int32_t /*pointclass*/) const {
  for (std::size_t i = 0; i < pat.size(); ++i) {
    const auto k = static_cast<std::size_t>(pat.map[i]);
    const arrreal& c = cutpoints[k];
    const double v = point[k];
    const std::int32_t a = pat.a[i];
    const std::int32_t b = pat.b[i];
    if (a > 0 && !(v >= c[static_cast<std::size_t>(a - 1)])) return false;
    if (b < static_cast<std::int32_t>(c.size()) && !(v < c[static_cast<std::size_t>(b)])) {
      return false;
    }
  }
  return true;
}

double TLAD::getIndex(const arrreal& point, std::int32_t pointclass) const {
  auto countTriggered = [&](const TPandect* pandect) {
    std::int32_t count = 0;
    if (pandect != nullptr) {
      for (std::int32_t i = 0; i < pandect->size(); ++i) {
        if (triggered(point, pandect->pattern(i), pointclass)) ++count;
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
