// One row of statistics per pattern of a model, on a data table: the data of a pattern browser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Observations.h"
#include "PatternRules.h"

// What a pattern covers on a table: its rows of class 1 and of class 0 (rows of neither class
// are covered too, but counted on neither side).
struct RowCounts {
  std::int32_t positive = 0;
  std::int32_t negative = 0;
};

enum class PatternSortKey {
  Model,        // the model's order: P1, P2, ..., N1, ...
  Prevalence,   // highest first
  Homogeneity,  // highest first
  Coverage,     // most rows of class 1 or 0 covered first
  Degree        // fewest conditions first
};

// The rows are computed once, in parallel over the patterns; each holds a few numbers, so a
// table of millions of patterns stays small. Names and rule texts are made when asked for, from
// the model, for the rows on screen. Coverage is found with one bit set per cutpoint over the
// table's rows, so the work grows with patterns x rows / 64, and memory with the table only.
class PatternTable {
 public:
  // Rows without statistics: every count 0, no prevalence or homogeneity.
  explicit PatternTable(ModelRules rules);
  // Statistics on the table, which must fit the model (requireTableFitsModel). The table is
  // kept for coveredRows.
  PatternTable(ModelRules rules, ObservationTable table);

  const ModelRules& rules() const { return rules_; }
  bool hasTable() const { return hasTable_; }
  const ObservationTable& table() const { return table_; }

  std::int32_t size() const { return rules_.size(); }
  std::string name(std::int32_t j) const { return rules_.name(j); }
  bool isPositive(std::int32_t j) const { return rules_.isPositive(j); }
  std::int32_t degree(std::int32_t j) const { return degrees_[static_cast<std::size_t>(j)]; }
  std::string rule(std::int32_t j) const { return rules_.rule(j); }
  const RowCounts& covered(std::int32_t j) const { return covered_[static_cast<std::size_t>(j)]; }
  // Rows of class 1 or 0 covered.
  std::int32_t coverage(std::int32_t j) const { return covered(j).positive + covered(j).negative; }
  // The share of the rows of the pattern's class that it covers; none when the table has no
  // row of that class.
  std::optional<double> prevalence(std::int32_t j) const;
  // The share of its own class among the rows of class 1 or 0 it covers; none when it covers
  // none of them.
  std::optional<double> homogeneity(std::int32_t j) const;

  // The table's rows of class 1 and of class 0.
  std::int32_t positiveRows() const { return positiveRows_; }
  std::int32_t negativeRows() const { return negativeRows_; }
  // Rows of neither class (a class other than 1 and 0, or not a number).
  std::int32_t unclassifiedRows() const;

  // The rows of the table (any class) that satisfy pattern j, in table order.
  std::vector<std::int32_t> coveredRows(std::int32_t j) const;
  // Every pattern in the order of the key; ties keep the model's order.
  std::vector<std::int32_t> sortedOrder(PatternSortKey key) const;

 private:
  void computeCoverage();

  ModelRules rules_;
  ObservationTable table_;
  bool hasTable_ = false;
  std::vector<std::int32_t> degrees_;
  std::vector<RowCounts> covered_;
  std::int32_t positiveRows_ = 0;
  std::int32_t negativeRows_ = 0;
  // Per attribute and cutpoint, the rows at or above it, one bit per row; and per attribute
  // the rows whose value is a number (the others are on neither side of any cutpoint).
  std::size_t words_ = 0;
  std::vector<std::vector<std::vector<std::uint64_t>>> atOrAbove_;
  std::vector<std::vector<std::uint64_t>> ordered_;
  std::vector<std::uint64_t> positiveMask_;
  std::vector<std::uint64_t> negativeMask_;

  // The rows satisfying pattern j, as bits, into `bits` (words_ long).
  void coverBits(std::int32_t j, std::vector<std::uint64_t>& bits) const;
};
