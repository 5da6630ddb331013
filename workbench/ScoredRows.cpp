#include "ScoredRows.h"

std::int32_t forecastClass(double score, std::int32_t undecidedAs) {
  if (score > 0) return 1;
  if (score < 0) return 0;
  return undecidedAs;
}

RowVerdict rowVerdict(const ScoredRow& row, std::int32_t undecidedAs) {
  if (row.cls != 1 && row.cls != 0) return RowVerdict::NotJudged;
  return forecastClass(row.score, undecidedAs) == row.cls ? RowVerdict::Right : RowVerdict::Wrong;
}
