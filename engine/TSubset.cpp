#include "TSubset.h"

#include "LadError.h"

TSubset::TSubset(std::int32_t n, std::int32_t m) {
  if (m > n) m = n;
  if (m < 0 || n < 0) throw ERangeError();
  subset.assign(static_cast<std::size_t>(n), 0);
  for (std::int32_t i = n - m; i < n; ++i) subset[static_cast<std::size_t>(i)] = 1;
  map.assign(static_cast<std::size_t>(m), 0);
  buildmap();
}

void TSubset::next() {
  const auto n = static_cast<std::int32_t>(subset.size());
  std::int32_t j = n - 1;
  while (j >= 0 && subset[static_cast<std::size_t>(j)] == 0) --j;
  while (j >= 0 && subset[static_cast<std::size_t>(j)] == 1) --j;
  if (j < 0) {
    subset.clear();
  } else {
    const auto uj = static_cast<std::size_t>(j);
    subset[uj] = 1;
    subset[uj + 1] = 0;
    std::int32_t count = 0;
    for (std::size_t k = uj + 2; k < subset.size(); ++k) {
      if (subset[k] == 1) ++count;
      subset[k] = 0;
    }
    for (std::int32_t k = n - count; k < n; ++k) subset[static_cast<std::size_t>(k)] = 1;
  }
  buildmap();
}

void TSubset::buildmap() {
  std::size_t k = 0;
  for (std::size_t i = 0; i < subset.size(); ++i) {
    if (subset[i] == 1 && k < map.size()) map[k++] = static_cast<std::int32_t>(i);
  }
}
