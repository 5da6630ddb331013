// Equal-frequency binning of every attribute by cutpoints taken from its own sorted values.
#include <cmath>

#include "LadError.h"
#include "TLAD.h"

namespace {

void countClasses(const arrint& classvector, std::int32_t& npos, std::int32_t& nneg) {
  npos = 0;
  nneg = 0;
  for (const std::int32_t c : classvector) {
    if (c == 1) ++npos;
    if (c == 0) ++nneg;
  }
}

// Gives datagrid a row per observation and cutpoints a row per attribute, and counts the
// classes. Returns the number of attributes, the length of the first row.
std::size_t prepare(TLAD& model) {
  if (model.data.empty()) throw LadError("The data table has no observations to learn from");
  const std::size_t columns = model.data[0].size();
  model.datagrid.resize(model.data.size());
  for (arrint& row : model.datagrid) row.resize(columns, 0);
  model.cutpoints.resize(columns);
  model.sizes.resize(columns, 0);
  countClasses(model.classvector, model.npos, model.nneg);
  return columns;
}

// The attribute's bin count from its cutpoints, and every observation's bin of it.
void binColumn(TLAD& model, std::size_t k) {
  model.sizes[k] = static_cast<std::int32_t>(model.cutpoints[k].size()) + 1;
  for (std::size_t r = 0; r < model.data.size(); ++r) {
    model.datagrid[r][k] = model.findbin(model.data[r][k], static_cast<std::int32_t>(k));
  }
}

}  // namespace

std::int32_t TLAD::findbin(double key, std::int32_t ctptidx) const {
  const arrreal& c = cutpoints[static_cast<std::size_t>(ctptidx)];
  const auto count = static_cast<std::int32_t>(c.size());
  if (count == 0 || key < c[0]) return 0;
  if (key >= c[static_cast<std::size_t>(count - 1)]) return count;
  std::int32_t lo = 0;
  std::int32_t hi = count - 1;
  while (hi - lo > 1) {
    const std::int32_t mid = (lo + hi) / 2;
    const double at = c[static_cast<std::size_t>(mid)];
    if (key == at) return mid + 1;
    if (key > at) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo + 1;
}

void TLAD::discretize() {
  const std::size_t columns = prepare(*this);
  const std::size_t rows = data.size();

  for (std::size_t k = 0; k < columns; ++k) {
    TIRList values;
    for (std::size_t r = 0; r < rows; ++r) values.add(static_cast<std::int32_t>(r), data[r][k]);
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
      if (bin != prev) row.push_back(values.vals[i]);
      prev = bin;
    }
    for (std::size_t i = row.size(); i-- > 1;) {
      if (row[i] == row[i - 1]) row.erase(row.begin() + static_cast<std::ptrdiff_t>(i));
    }
    binColumn(*this, k);
  }
}

void TLAD::discretize_simple() {
  const std::size_t columns = prepare(*this);
  for (std::size_t k = 0; k < columns; ++k) binColumn(*this, k);
}
