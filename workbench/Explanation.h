// Why an observation gets its score: the patterns for and against it, and the near misses.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "PatternRules.h"

// A pattern that the observation fails by exactly one condition, and what it would take.
struct NearMiss {
  std::int32_t pattern = 0;  // in ModelRules' numbering
  Condition condition;       // the condition it fails
  double value = 0;          // the observation's value of that attribute
  double bound = 0;          // the cutpoint the value fails
  // true: the condition asks for value >= bound, so the value must rise by `change`
  // (bound - value) at least; false: it asks for value < bound, so the value must fall below
  // bound, by more than -change.
  bool raise = true;
  double change = 0;
  // The model's score once the value lies just inside the condition (the same for every
  // value of the bin there), all other values kept. The change can also affect other
  // patterns on the same attribute; this score counts them all.
  double scoreAfter = 0;
};

struct Explanation {
  double score = 0;                   // the model's score, as Apply Model gives it
  std::int32_t positivePatterns = 0;  // of the model: P
  std::int32_t negativePatterns = 0;  // N
  // What each satisfied pattern adds to the score: 1/P for a positive one, -1/N for a
  // negative one (0 for a side without patterns). The score is counted/P - counted/N.
  double positiveShare = 0;
  double negativeShare = 0;
  std::vector<std::int32_t> forPatterns;      // the satisfied positive patterns
  std::vector<std::int32_t> againstPatterns;  // the satisfied negative patterns
  std::vector<NearMiss> nearMisses;           // in the model's order
  // Per attribute whose value is missing and on which some pattern has a condition: the
  // attribute and how many patterns that missing value fails.
  std::vector<std::pair<std::int32_t, std::int32_t>> missing;
};

// The explanation of the observation with these values (indexed by attribute, at least one
// per attribute the patterns use; LadError otherwise).
Explanation explainObservation(const ModelRules& rules, std::span<const double> values);
