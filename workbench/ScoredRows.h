// The rows an applied model scored, as the Evaluation tab's rows table lists them: each row's
// forecast class and whether it is right.
#pragma once

#include <cstdint>
#include <string>

#include "Evaluation.h"

struct ScoredRow {
  std::string name;
  std::string classField;  // as the table holds it
  std::int32_t cls = kOtherClass;
  double score = 0;
};

// The class a score forecasts: 1 above 0, 0 below, and at exactly 0 the undecided rule's class
// (kOtherClass: undecided).
std::int32_t forecastClass(double score, std::int32_t undecidedAs);

enum class RowVerdict { Right, Wrong, NotJudged };
// Right when the forecast is the row's class; an undecided row counts as wrong, as the figures
// count it. A row whose class is neither 1 nor 0 is not judged.
RowVerdict rowVerdict(const ScoredRow& row, std::int32_t undecidedAs);
