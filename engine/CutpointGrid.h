// The cut points of every attribute, which split its values into bins.
#pragma once

#include <cstdint>
#include <string>

#include "ArrayTypes.h"
#include "NumberText.h"

// Per attribute, ascending cut points c0 < c1 < ...: bin 0 holds the values below c0, bin i
// those at or above c(i-1) and below ci, the last bin those at or above the last cut point.
class CutpointGrid {
 public:
  CutpointGrid() = default;
  explicit CutpointGrid(matreal cutpoints) : cutpoints_(std::move(cutpoints)) {}

  // Equal-frequency cut points of each of `columns` columns, taken from the column's own sorted
  // values so that each of at most gridSize bins holds about as many observations. Here and in
  // classAware, a missing value (not a number) takes no part: the cut points split the known
  // values, and a column without any gets none. Raises
  // LadError for a table without observations.
  static CutpointGrid equalFrequency(const matreal& rows, std::size_t columns,
                                     std::int32_t gridSize);
  // Class-aware cut points of each column: the minimum-description-length splits of the
  // column's values by the classes 1 and 0 of their rows (rows of other classes take no
  // part), each where the class entropy falls most and only while the fall pays for the split,
  // the largest falls first, at most gridSize - 1 per column. A cut point is the lowest value
  // above the split, so that every value stays on its side. A column whose classes do not
  // change with its values gets none. Raises LadError for a table without observations.
  static CutpointGrid classAware(const matreal& rows, const arrint& classes, std::size_t columns,
                                 std::int32_t gridSize);

  std::size_t attributes() const { return cutpoints_.size(); }
  const matreal& cutpoints() const { return cutpoints_; }
  const arrreal& cutpoints(std::size_t k) const { return cutpoints_[k]; }
  std::int32_t binCount(std::size_t k) const {
    return static_cast<std::int32_t>(cutpoints_[k].size()) + 1;
  }
  arrint binCounts() const;
  // The bin of a value of attribute k (a value that is not a number falls in bin 0).
  std::int32_t binOf(double value, std::size_t k) const;
  // The bin of every value, row by row: the discretized table.
  matint binsOf(const matreal& rows) const;
  // Cut point i of attribute k in the number text form.
  std::string cutpointText(std::size_t k, std::size_t i, const NumberFormat& format) const {
    return numberText(cutpoints_[k][i], format);
  }

 private:
  matreal cutpoints_;
};
