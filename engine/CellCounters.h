// One 32-bit counter per cell of an attribute subset's grid.
#pragma once

#include <cstdint>

#include "ArrayTypes.h"
#include "GridPoint.h"

class CellCounters {
 public:
  arrint sizes;               // the size of each dimension
  arrint cells;               // the counters, dimension 0 most significant

  // Raises LadError when the number of cells does not fit in a 32-bit signed integer, before
  // anything is allocated.
  explicit CellCounters(const arrint& insizes);

  std::int32_t addressOf(const GridPoint& idx) const;
  void put(const GridPoint& idx, std::int32_t x) {
    cells[static_cast<std::size_t>(addressOf(idx))] = x;
  }
  std::int32_t get(const GridPoint& idx) const {
    return cells[static_cast<std::size_t>(addressOf(idx))];
  }
};

// The number of cells of a grid, or -1 when it exceeds 2147483647.
std::int64_t gridCellCount(const arrint& sizes);

// Raises LadError when a grid over these sizes cannot be addressed with 32-bit cells.
void requireAddressableGrid(const arrint& sizes);
