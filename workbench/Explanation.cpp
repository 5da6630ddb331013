#include "Explanation.h"

#include <cmath>
#include <limits>
#include <map>

#include "LadError.h"

namespace {

struct PatternCondition {
  std::int32_t pattern;
  Condition condition;
};

// The nearest value that satisfies the failed condition: the lower cutpoint itself, or the
// largest value below the upper one. Every value of the bin it lies in gives the same score.
double targetValue(const NearMiss& miss) {
  return miss.raise ? miss.bound
                    : std::nextafter(miss.bound, -std::numeric_limits<double>::infinity());
}

}  // namespace

Explanation explainObservation(const ModelRules& rules, std::span<const double> values) {
  const std::int32_t highest = rules.highestAttributeUsed();
  if (highest >= static_cast<std::int32_t>(values.size())) {
    throw LadError("The model's patterns use attribute " + integerText(highest + 1) + " (" +
                   rules.attributeName(static_cast<std::size_t>(highest)) + "), but only " +
                   integerText(static_cast<std::int64_t>(values.size())) + " value(s) are given");
  }
  Explanation e;
  e.positivePatterns = rules.positiveCount();
  e.negativePatterns = rules.negativeCount();
  if (e.positivePatterns > 0) e.positiveShare = 1.0 / static_cast<double>(e.positivePatterns);
  if (e.negativePatterns > 0) e.negativeShare = -1.0 / static_cast<double>(e.negativePatterns);
  const arrreal point(values.begin(), values.end());
  e.score = rules.model().score(point);

  // Per attribute: the satisfied patterns that constrain it, and the patterns failing only on
  // it. Changing that one value can only change these.
  const std::size_t attributes = rules.attributeCount();
  std::vector<std::vector<PatternCondition>> satisfiedOn(attributes);
  std::vector<std::vector<PatternCondition>> failingOnlyOn(attributes);
  std::vector<std::int32_t> failedByMissing(attributes, 0);
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    const std::vector<Condition> conditions = rules.conditions(j);
    for (const Condition& c : conditions) {
      if (std::isnan(values[static_cast<std::size_t>(c.attribute)])) {
        ++failedByMissing[static_cast<std::size_t>(c.attribute)];
      }
    }
    std::int32_t failures = 0;
    const Condition* failed = nullptr;
    for (const Condition& c : conditions) {
      const auto k = static_cast<std::size_t>(c.attribute);
      if (!c.holds(values[k], rules.cutpoints(k))) {
        ++failures;
        failed = &c;
      }
    }
    if (failures == 0) {
      (rules.isPositive(j) ? e.forPatterns : e.againstPatterns).push_back(j);
      for (const Condition& c : conditions) {
        satisfiedOn[static_cast<std::size_t>(c.attribute)].push_back({j, c});
      }
      continue;
    }
    const double v = failures == 1 ? values[static_cast<std::size_t>(failed->attribute)] : 0.0;
    // A value that is not a number has no nearer value; a condition nothing satisfies none.
    if (failures != 1 || std::isnan(v) || !failed->satisfiable()) continue;
    const arrreal& cuts = rules.cutpoints(static_cast<std::size_t>(failed->attribute));
    NearMiss miss;
    miss.pattern = j;
    miss.condition = *failed;
    miss.value = v;
    miss.raise = failed->lower >= 0 && !(v >= cuts[static_cast<std::size_t>(failed->lower)]);
    miss.bound = cuts[static_cast<std::size_t>(miss.raise ? failed->lower : failed->upper)];
    miss.change = miss.bound - v;
    e.nearMisses.push_back(miss);
    failingOnlyOn[static_cast<std::size_t>(failed->attribute)].push_back({j, *failed});
  }

  for (std::size_t k = 0; k < attributes; ++k) {
    if (failedByMissing[k] > 0)
      e.missing.emplace_back(static_cast<std::int32_t>(k), failedByMissing[k]);
  }

  // The score after each change, counted once per attribute and new value.
  const auto p = static_cast<std::int32_t>(e.forPatterns.size());
  const auto n = static_cast<std::int32_t>(e.againstPatterns.size());
  std::map<std::pair<std::int32_t, double>, double> scoreAt;
  for (NearMiss& miss : e.nearMisses) {
    const double t = targetValue(miss);
    const std::pair<std::int32_t, double> key{miss.condition.attribute, t};
    auto found = scoreAt.find(key);
    if (found == scoreAt.end()) {
      const auto k = static_cast<std::size_t>(miss.condition.attribute);
      const arrreal& cuts = rules.cutpoints(k);
      std::int32_t positive = p;
      std::int32_t negative = n;
      for (const PatternCondition& s : satisfiedOn[k]) {
        if (!s.condition.holds(t, cuts)) --(rules.isPositive(s.pattern) ? positive : negative);
      }
      for (const PatternCondition& f : failingOnlyOn[k]) {
        if (f.condition.holds(t, cuts)) ++(rules.isPositive(f.pattern) ? positive : negative);
      }
      found = scoreAt
                  .emplace(key, scoreFromCounts(positive, e.positivePatterns, negative,
                                                e.negativePatterns))
                  .first;
    }
    miss.scoreAfter = found->second;
  }
  return e;
}
