// Equal-frequency binning of every attribute by cutpoints taken from its own sorted values.
#include <cmath>

#include "LadError.h"
#include "TLAD.h"

namespace {

void countClasses(const arrint& classvector, std::int32_t& npos, std::int32_t& nneg) {
  npos = 0;
  nneg = 0;
  for (const std::int32_t c : classvector) {
    if (c == 1)
      ++npos;
    if (c == 0)
      ++nneg;
  }
}

void requireObservations(const matreal& data) {
  if (data.empty())
    throw LadError("The data table has no observations to learn from");
}

}  // namespace

std::int32_t TLAD::findbin(double key, std::int32_t ctptidx) const {
  const arrreal& c = cutpoints[static_cast<std::size_t>(ctptidx)];
  const auto count = static_cast<std::int32_t>(c.size());
  if (count == 0 || key < c[0])
    return 0;
  if (key >= c[static_cast<std::size_t>(count - 1)])
    return count;
  std::int32_t lo = 0;
  std::int32_t hi = count - 1;
  while (hi - lo > 1) {
    const std::int32_t mid = (lo + hi) / 2;
    const double at = c[static_cast<std::size_t>(mid)];
    if (key == at)
      return mid + 1;
    if (key > at) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo + 1;
}

void TLAD::discretize() {
  requireObservations(data);
  const std::size_t rows = data.size();
  const std::size_t columns = data[0].size();
  datagrid.resize(rows);
  for (arrint& row : datagrid)
    row.resize(columns, 0);
  cutpoints.resize(columns);
  sizes.resize(columns, 0);
  countClasses(classvector, npos, nneg);

  for (std::size_t k = 0; k < columns; ++k) {
    TIRList values;
    for (std::size_t r = 0; r < rows; ++r)
      values.add(static_cast<std::int32_t>(r), data[r][k]);
    values.heapSortValues();

    // The order of the floating-point operations decides which positions are chosen:
    // for n = 7 and G = 7, (5 * (1/7)) * 7 truncates to 4.
    const auto n = static_cast<std::size_t>(values.size());
    const double step = 1.0 / static_cast<double>(n);
    const auto grid = static_cast<double>(sizes[k]);
    arrreal& row = cutpoints[k];
    std::int64_t prev = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const auto bin =
          static_cast<std::int64_t>(std::trunc((static_cast<double>(i) * step) * grid));
      if (bin != prev)
        row.push_back(values.vals[i]);
      prev = bin;
    }
    for (std::size_t i = row.size(); i-- > 1;) {
      if (row[i] == row[i - 1])
        row.erase(row.begin() + static_cast<std::ptrdiff_t>(i));
    }
    sizes[k] = static_cast<std::int32_t>(row.size()) + 1;
    for (std::size_t r = 0; r < rows; ++r) {
      datagrid[r][k] = findbin(data[r][k], static_cast<std::int32_t>(k));
    }
  }
}

void TLAD::discretize_simple() {
  requireObservations(data);
  const std::size_t rows = data.size();
  const std::size_t columns = data[0].size();
  datagrid.resize(rows);
  for (arrint& row : datagrid)
    row.resize(columns, 0);
  cutpoints.resize(columns);
  countClasses(classvector, npos, nneg);
  sizes.resize(columns, 0);
  for (std::size_t k = 0; k < columns; ++k) {
    sizes[k] = static_cast<std::int32_t>(cutpoints[k].size()) + 1;
    for (std::size_t r = 0; r < rows; ++r) {
      datagrid[r][k] = findbin(data[r][k], static_cast<std::int32_t>(k));
    }
  }
}
