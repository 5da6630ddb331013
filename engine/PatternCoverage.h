// Which observations satisfy which patterns of a model, as bits.
#pragma once

#include <cstdint>
#include <memory>
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
  // The bits of every row of `rows`.
  PatternCoverage(const Model& model, std::span<const arrreal> rows);
  // Ready to set out the bits of `blockRows` rows at a time (a multiple of 64), by cover():
  // a model's bits for every row of a large table take gigabytes.
  PatternCoverage(const Model& model, std::span<const arrreal> rows, std::size_t blockRows);
  ~PatternCoverage();

  // Sets out the bits of rows first .. first + count - 1 (first a multiple of 64, count at
  // most the block's rows); row(r) then holds those of row first + r.
  void cover(std::size_t first, std::size_t count);

  std::size_t patterns() const { return patterns_; }
  // The words of row r; bit j % 64 of word j / 64 is pattern j.
  const std::uint64_t* row(std::size_t r) const { return bits_.data() + r * rowWords_; }

 private:
  class CutpointSides;

  const Model& model_;
  std::unique_ptr<CutpointSides> sides_;
  std::size_t patterns_ = 0;
  std::size_t rowWords_ = 0;
  std::vector<std::uint64_t> bits_;
};
