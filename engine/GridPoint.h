// A position in the grid of an attribute subset, walked in odometer or reflected Gray order.
#pragma once

#include <cstdint>

#include "ArrayTypes.h"

class GridPoint {
 public:
  arrint idx;         // the current cell; empty before first() and after the walk
  arrint transition;  // per dimension, +1 or -1: where the Gray walk moves it next
  arrint ub;          // per dimension, the largest coordinate

  explicit GridPoint(const arrint& dims);

  // The first cell (all zeros), every direction +1.
  void first();
  // One odometer step, last coordinate fastest; empties idx after the last cell.
  void next();
  // One reflected Gray step: +(j+1) when coordinate j moved up, -(j+1) when it moved down,
  // 0 when the walk is over.
  std::int32_t nextGray();
  // A Gray step over the cells that share coordinate fix; empties idx when none is left.
  void nextGrayFix(std::int32_t fix);
  // Takes the cell and the directions of another index.
  void copyFrom(const GridPoint& fromcopy);
  // 1 when this cell lies at or above ref in every coordinate and differs, 0 when equal,
  // -1 when it lies below ref in some coordinate.
  std::int32_t greater(const GridPoint& ref) const;
};
