// A learned model: the attribute names, the cut point grid and the positive and negative
// patterns. A build returns one and reading NAME.MOD gives one; it does not change afterwards.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "CutpointGrid.h"
#include "NumberText.h"
#include "PatternSet.h"

class Model {
 public:
  // The patterns' keys must be their descriptions over this grid in this format.
  Model(std::vector<std::string> attributeNames, CutpointGrid grid, PatternSet positive,
        PatternSet negative, const NumberFormat& format);

  // The attribute names joined by ",", as the model file's "Attributes" line holds them.
  const std::string& attributeLine() const { return attributeLine_; }
  // The names one by one; there may be fewer than the grid's attributes in a damaged file.
  const std::vector<std::string>& attributeNames() const { return attributeNames_; }
  // Attribute k's name, or "" where the attribute line names fewer.
  std::string attributeName(std::size_t k) const {
    return k < attributeNames_.size() ? attributeNames_[k] : std::string();
  }
  const CutpointGrid& grid() const { return grid_; }
  const matreal& cutpoints() const { return grid_.cutpoints(); }
  const PatternSet& positive() const { return positive_; }
  const PatternSet& negative() const { return negative_; }
  // How the model writes and reads numbers: the format of the command that made it.
  const NumberFormat& format() const { return format_; }

  // The score of one observation's values: 0 + positive/P - negative/N (scoreFromCounts),
  // counting the patterns whose box holds the values.
  double score(std::span<const double> values) const;
  // A pattern's description over this model's attributes and cut points.
  std::string describe(PatternView pattern) const;

 private:
  std::string attributeLine_;
  std::vector<std::string> attributeNames_;
  CutpointGrid grid_;
  PatternSet positive_;
  PatternSet negative_;
  NumberFormat format_;
};

// The score from the counts of satisfied patterns: 0 + positive/P - negative/N, in that order,
// a side without patterns left out. Model::score and every explanation of a score count with it.
double scoreFromCounts(std::int32_t positive, std::int32_t positiveTotal, std::int32_t negative,
                       std::int32_t negativeTotal);
