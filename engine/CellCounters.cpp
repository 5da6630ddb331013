#include "CellCounters.h"

#include <limits>

#include "LadError.h"
#include "NumberText.h"

std::int64_t gridCellCount(const arrint& sizes) {
  std::int64_t cells = 1;
  for (const std::int32_t size : sizes) {
    cells *= size;
    if (cells > std::numeric_limits<std::int32_t>::max()) return -1;
  }
  return cells;
}

void requireAddressableGrid(const arrint& sizes) {
  if (gridCellCount(sizes) < 0) {
    throw LadError("The grid of an attribute subset of " +
                   integerText(static_cast<int>(sizes.size())) +
                   " attributes would have more than 2147483647 cells; lower the Grid Size or "
                   "the Degree");
  }
}

CellCounters::CellCounters(const arrint& insizes) : sizes(insizes) {
  requireAddressableGrid(sizes);
  cells.assign(static_cast<std::size_t>(gridCellCount(sizes)), 0);
}

std::int32_t CellCounters::addressOf(const GridPoint& idx) const {
  std::int32_t address = idx.idx[0];
  for (std::size_t j = 1; j < idx.idx.size(); ++j) address = address * sizes[j] + idx.idx[j];
  return address;
}
