// Which observations satisfy which patterns of a model, as bits.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ArrayTypes.h"
#include "Model.h"

// Row-major bits: bit j of row r tells whether row r of values satisfies pattern j, the
// positive patterns first, then the negative ones. Each bit comes from the same comparisons as
// boxHolds (value >= lower cutpoint, value < upper cutpoint), each made once per
// observation, attribute and cutpoint instead of once per pattern.
class PatternCoverage {
 public:
  // Of the observations `rows`: all of a table, or a run of them.
  PatternCoverage(const Model& model, std::span<const arrreal> rows);

  std::size_t patterns() const { return patterns_; }
  // The words of row r; bit j % 64 of word j / 64 is pattern j.
  const std::uint64_t* row(std::size_t r) const { return bits_.data() + r * rowWords_; }

 private:
  std::size_t patterns_ = 0;
  std::size_t rowWords_ = 0;
  std::vector<std::uint64_t> bits_;
};
