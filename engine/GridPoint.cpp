#include "GridPoint.h"

GridPoint::GridPoint(const arrint& dims) : transition(dims.size(), 1), ub(dims.size()) {
  for (std::size_t j = 0; j < dims.size(); ++j) ub[j] = dims[j] - 1;
}

void GridPoint::first() {
  idx.assign(ub.size(), 0);
  transition.assign(ub.size(), 1);
}

void GridPoint::next() {
  if (idx.empty()) return;
  auto j = static_cast<std::int32_t>(idx.size()) - 1;
  while (j >= 0 && idx[static_cast<std::size_t>(j)] == ub[static_cast<std::size_t>(j)]) --j;
  if (j < 0) {
    idx.clear();
    return;
  }
  ++idx[static_cast<std::size_t>(j)];
  for (std::size_t k = static_cast<std::size_t>(j) + 1; k < idx.size(); ++k) idx[k] = 0;
}

namespace {

bool atEndOfDirection(const GridPoint& index, std::size_t j) {
  return (index.transition[j] == 1 && index.idx[j] == index.ub[j]) ||
         (index.transition[j] == -1 && index.idx[j] == 0);
}

}  // namespace

std::int32_t GridPoint::nextGray() {
  if (idx.empty()) return 0;
  auto j = static_cast<std::int32_t>(idx.size()) - 1;
  while (j >= 0 && atEndOfDirection(*this, static_cast<std::size_t>(j))) --j;
  if (j < 0) {
    idx.clear();
    return 0;
  }
  const auto uj = static_cast<std::size_t>(j);
  const std::int32_t result = (j + 1) * transition[uj];
  idx[uj] += transition[uj];
  for (std::size_t k = uj + 1; k < idx.size(); ++k) transition[k] = -transition[k];
  return result;
}

void GridPoint::nextGrayFix(std::int32_t fix) {
  if (idx.empty()) return;
  auto j = static_cast<std::int32_t>(idx.size()) - 1;
  while (j >= 0 && (j == fix || atEndOfDirection(*this, static_cast<std::size_t>(j)))) --j;
  if (j < 0) {
    idx.clear();
    return;
  }
  const auto uj = static_cast<std::size_t>(j);
  idx[uj] += transition[uj];
  for (std::size_t k = uj + 1; k < idx.size(); ++k) transition[k] = -transition[k];
}

void GridPoint::copyFrom(const GridPoint& fromcopy) {
  const std::size_t n = fromcopy.idx.size();
  idx.resize(n);
  for (std::size_t j = 0; j < n; ++j) {
    idx[j] = fromcopy.idx[j];
    transition[j] = fromcopy.transition[j];
    ub[j] = fromcopy.ub[j];
  }
}

std::int32_t GridPoint::greater(const GridPoint& ref) const {
  bool larger = false;
  for (std::size_t j = 0; j < idx.size(); ++j) {
    if (idx[j] < ref.idx[j]) return -1;
    if (idx[j] > ref.idx[j]) larger = true;
  }
  return larger ? 1 : 0;
}
