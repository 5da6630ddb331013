// Sorting and filtering the patterns of a PatternTable by column, for a pattern browser: one
// pass over the patterns, in parallel, without making their texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PatternTable.h"

// The columns of a pattern browser, and Coverage: the rows of class 1 or 0 covered.
enum class PatternColumn {
  Name,
  Class,
  Degree,
  Rule,
  Positive,
  Negative,
  Prevalence,
  Homogeneity,
  Coverage
};

// Sorts `order` (pattern numbers) by the column. Name sorts in the model's order; Rule by the
// attributes of the conditions; shares that a pattern lacks sort below every share. Ties keep
// the model's order, so the result is the same every time.
void sortPatterns(const PatternTable& table, std::vector<std::int32_t>& order, PatternColumn column,
                  bool ascending);

// The patterns of `order` (in that order) of class `cls` (1, 0, or -1 for both) that are named
// `text` ("P12") or have a condition on an attribute whose name contains it, letter case aside.
// An empty text keeps every pattern of the class.
std::vector<std::int32_t> filterPatterns(const PatternTable& table,
                                         const std::vector<std::int32_t>& order, std::int32_t cls,
                                         const std::string& text);
