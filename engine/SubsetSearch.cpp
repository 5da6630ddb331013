// The fast search of one subset.
//
// Judged boxes: the literal walk judges the box from anchor b to cell c when c lies at or above
// b in every coordinate, differs from it, and comes after b in the reflected Gray walk. With
// the first coordinate j where c and b differ, c comes later exactly when the walk moves
// coordinate j upward at b's position, that is when the cells before b in the walk over
// coordinates 0..j-1 are even in number. So each anchor's judged cells are a union of
// rectangular regions, enumerated here by nested loops without any per-cell order test.
//
// Counts: the grid holds prefix sums of packed (positive, negative) counts, so that a box's
// counts are an inclusion-exclusion sum of 2^d entries; along the last coordinate only 2^(d-1)
// of them change.
//
// Maximality: anchors are taken in lexicographic order and each anchor's cells in descending
// lexicographic order, so every box that contains a box is judged before it. A box is kept
// when no box kept so far contains it, and is never dropped later. The kept boxes are finally
// put in the order in which the Gray walk would have found them.
//
// Pruning: a box's counts only grow with the box, so a region whose largest box has too few
// positives for any positive pattern and too few negatives for any negative one is skipped.
#include "SubsetSearch.h"

#include <algorithm>
#include <array>

#include "TDataStructure.h"

namespace {

// The fast search handles grids of up to this many coordinates of two or more bins; larger
// ones fall back to the literal walk.
constexpr int kMaxFastDims = 6;
constexpr int kMaxTerms = 1 << (kMaxFastDims - 1);

// The subset's grid without its single-bin coordinates, which every box spans whole, which
// the walk never moves and which take no part in any Gray rank.
struct Grid {
  int d = 0;
  std::array<std::int32_t, kMaxFastDims> dims{};
  std::array<std::int64_t, kMaxFastDims> stride{};
  std::array<std::size_t, kMaxFastDims> column{};  // position of the coordinate in map
  std::int64_t cells = 1;
};

struct Term {
  std::int64_t base;
  bool plus;
};

template <int D>  // D > 0: exactly D coordinates; D == 0: up to kMaxFastDims, known at run time
class AnchorSweep {
 public:
  AnchorSweep(const Grid& grid, const AcceptanceRule& rule, SearchScratch& scratch)
      : g_(grid), rule_(rule), s_(scratch), prefix_(scratch.grid.data()) {}

  void run() {
    std::array<std::int32_t, kMaxFastDims> a{};
    for (std::int64_t cell = 0; cell < g_.cells; ++cell) {
      anchor(a, cell);
      for (int j = d() - 1; j >= 0; --j) {
        if (++a[static_cast<std::size_t>(j)] < g_.dims[static_cast<std::size_t>(j)]) break;
        a[static_cast<std::size_t>(j)] = 0;
      }
    }
  }

 private:
  int d() const {
    if constexpr (D > 0) {
      return D;
    } else {
      return g_.d;
    }
  }
  std::size_t ud() const { return static_cast<std::size_t>(d()); }

  bool possible(std::uint64_t counts) const {
    return positivesOf(counts) >= rule_.minPositive || negativesOf(counts) >= rule_.minNegative;
  }

  // The packed counts of the box from the anchor to upper corner u.
  std::uint64_t boxCount(const std::array<std::int32_t, kMaxFastDims>& u) const {
    std::uint64_t total = 0;
    for (unsigned mask = 0; mask < (1u << d()); ++mask) {
      std::int64_t at = 0;
      bool plus = true;
      bool inside = true;
      for (std::size_t j = 0; j < ud(); ++j) {
        if ((mask >> j) & 1u) {
          if (a_[j] == 0) {
            inside = false;
            break;
          }
          at += (a_[j] - 1) * g_.stride[j];
          plus = !plus;
        } else {
          at += u[j] * g_.stride[j];
        }
      }
      if (!inside) continue;
      const std::uint64_t v = prefix_[at];
      total = plus ? total + v : total - v;
    }
    return total;
  }

  // The largest box whose first k + 1 upper coordinates are those of c_.
  std::uint64_t largestBox(std::size_t k) const {
    std::array<std::int32_t, kMaxFastDims> u = c_;
    for (std::size_t j = k + 1; j < ud(); ++j) u[j] = g_.dims[j] - 1;
    return boxCount(u);
  }

  void anchor(const std::array<std::int32_t, kMaxFastDims>& a, std::int64_t cell) {
    a_ = a;
    std::array<std::int32_t, kMaxFastDims> top{};
    for (std::size_t j = 0; j < ud(); ++j) top[j] = g_.dims[j] - 1;
    if (!possible(boxCount(top))) return;
    // Coordinate j moves upward from here when the walk over coordinates 0..j-1 has made an
    // even number of steps before this cell.
    unsigned parity = 0;
    for (std::size_t j = 0; j < ud(); ++j) {
      upward_[j] = parity == 0;
      const std::int32_t digit = upward_[j] ? a[j] : g_.dims[j] - 1 - a[j];
      parity = (parity * static_cast<unsigned>(g_.dims[j]) + static_cast<unsigned>(digit)) & 1u;
    }
    anchorRank_ = static_cast<std::uint64_t>(s_.rank[static_cast<std::size_t>(cell)]) << 32;
    terms_[0][0] = {0, true};
    termCount_[0] = 1;
    visit(0, true);
  }

  // Terms of level k + 1 from those of level k with coordinate k at ck.
  void extend(std::size_t k, std::int32_t ck) {
    std::size_t n = 0;
    for (std::size_t t = 0; t < termCount_[k]; ++t) {
      const Term term = terms_[k][t];
      terms_[k + 1][n++] = {term.base + ck * g_.stride[k], term.plus};
      if (a_[k] > 0) terms_[k + 1][n++] = {term.base + (a_[k] - 1) * g_.stride[k], !term.plus};
    }
    termCount_[k + 1] = n;
  }

  // Coordinates 0..k-1 of c_ are set; `equal` when they are the anchor's.
  void visit(std::size_t k, bool equal) {
    if (k + 1 == ud()) {
      line(equal);
      return;
    }
    if (!equal || upward_[k]) {
      for (std::int32_t ck = g_.dims[k] - 1; ck > a_[k]; --ck) {
        c_[k] = ck;
        if (!possible(largestBox(k))) break;
        extend(k, ck);
        visit(k + 1, false);
      }
    }
    c_[k] = a_[k];
    if (!possible(largestBox(k))) return;
    extend(k, a_[k]);
    visit(k + 1, equal);
  }

  std::uint64_t lineSum(std::size_t k, std::int64_t z) const {
    std::uint64_t v = 0;
    for (std::size_t t = 0; t < termCount_[k]; ++t) {
      const std::uint64_t x = prefix_[terms_[k][t].base + z];
      v = terms_[k][t].plus ? v + x : v - x;
    }
    return v;
  }

  // The last coordinate runs downward over the judged cells of this line.
  void line(bool equal) {
    const std::size_t k = ud() - 1;
    std::int32_t low = a_[k];
    if (equal) {
      if (!upward_[k]) return;
      ++low;
    }
    const std::uint64_t below = a_[k] > 0 ? lineSum(k, a_[k] - 1) : 0;
    std::int64_t lineBase = 0;
    for (std::size_t j = 0; j < k; ++j) lineBase += c_[j] * g_.stride[j];
    const std::int64_t* positiveFrom = rule_.positiveFrom.data();
    const std::int64_t* negativeUpTo = rule_.negativeUpTo.data();
    for (std::int32_t z = g_.dims[k] - 1; z >= low; --z) {
      const std::uint64_t v = lineSum(k, z) - below;
      const std::int64_t p = positivesOf(v);
      const std::int64_t n = negativesOf(v);
      if (p < rule_.minPositive && n < rule_.minNegative) break;
      const auto t = static_cast<std::size_t>(p + n);
      if (p >= positiveFrom[t] || p <= negativeUpTo[t]) {
        c_[k] = z;
        const std::uint64_t when = anchorRank_ | s_.rank[static_cast<std::size_t>(lineBase + z)];
        if (p >= positiveFrom[t]) keep(0, when);
        if (p <= negativeUpTo[t]) keep(1, when);
      }
    }
  }

  // Keeps the box from a_ to c_ on one side unless a box kept before contains it.
  void keep(int side, std::uint64_t when) {
    std::vector<std::int32_t>& found = s_.found[side];
    const std::size_t width = 2 * ud();
    for (std::size_t at = found.size(); at > 0; at -= width) {
      const std::int32_t* box = found.data() + (at - width);
      bool inside = true;
      for (std::size_t j = 0; j < ud(); ++j) {
        inside = inside && box[j] <= a_[j] && c_[j] <= box[ud() + j];
      }
      if (inside) return;
    }
    found.insert(found.end(), a_.begin(), a_.begin() + d());
    found.insert(found.end(), c_.begin(), c_.begin() + d());
    s_.when[side].push_back(when);
  }

  const Grid& g_;
  const AcceptanceRule& rule_;
  SearchScratch& s_;
  const std::uint64_t* prefix_;
  std::array<std::int32_t, kMaxFastDims> a_{};
  std::array<std::int32_t, kMaxFastDims> c_{};
  std::array<bool, kMaxFastDims> upward_{};
  std::uint64_t anchorRank_ = 0;
  std::array<std::array<Term, kMaxTerms>, kMaxFastDims> terms_{};
  std::array<std::size_t, kMaxFastDims> termCount_{};
};

// Packed counts per cell, then prefix sums along every coordinate.
void countAndCumulate(const SearchData& data, const arrint& map, const Grid& g,
                      SearchScratch& s) {
  s.grid.assign(static_cast<std::size_t>(g.cells), 0);
  s.address.assign(data.rows(), 0);
  for (std::size_t j = 0; j < static_cast<std::size_t>(g.d); ++j) {
    const arrint& column = data.bins[static_cast<std::size_t>(map[g.column[j]])];
    const std::int64_t stride = g.stride[j];
    for (std::size_t r = 0; r < data.rows(); ++r) s.address[r] += column[r] * stride;
  }
  for (std::size_t r = 0; r < data.rows(); ++r) {
    s.grid[static_cast<std::size_t>(s.address[r])] += data.weight[r];
  }
  for (std::size_t j = 0; j < static_cast<std::size_t>(g.d); ++j) {
    const std::int64_t stride = g.stride[j];
    const std::int64_t block = stride * g.dims[j];
    for (std::int64_t base = 0; base < g.cells; base += block) {
      for (std::int64_t at = base + stride; at < base + block; ++at) {
        s.grid[static_cast<std::size_t>(at)] += s.grid[static_cast<std::size_t>(at - stride)];
      }
    }
  }
}

// Every cell's position in the reflected Gray walk, last coordinate fastest.
void rankCells(const Grid& g, SearchScratch& s) {
  s.rank.resize(static_cast<std::size_t>(g.cells));
  std::array<std::int32_t, kMaxFastDims> x{};
  for (std::int64_t cell = 0; cell < g.cells; ++cell) {
    std::uint64_t rank = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(g.d); ++j) {
      const std::int32_t digit = rank % 2 == 0 ? x[j] : g.dims[j] - 1 - x[j];
      rank = rank * static_cast<std::uint64_t>(g.dims[j]) + static_cast<std::uint64_t>(digit);
    }
    s.rank[static_cast<std::size_t>(cell)] = static_cast<std::uint32_t>(rank);
    for (int j = g.d - 1; j >= 0; --j) {
      if (++x[static_cast<std::size_t>(j)] < g.dims[static_cast<std::size_t>(j)]) break;
      x[static_cast<std::size_t>(j)] = 0;
    }
  }
}

// The kept boxes of one side in the walk's order, with the single-bin coordinates put back.
void emit(const Grid& g, std::size_t fullDims, SearchScratch& s, int side,
          std::vector<std::int32_t>& out) {
  const std::vector<std::uint64_t>& when = s.when[side];
  s.order.resize(when.size());
  for (std::size_t i = 0; i < when.size(); ++i) s.order[i] = static_cast<std::uint32_t>(i);
  std::sort(s.order.begin(), s.order.end(),
            [&](std::uint32_t x, std::uint32_t y) { return when[x] < when[y]; });
  const auto d = static_cast<std::size_t>(g.d);
  for (const std::uint32_t i : s.order) {
    const std::int32_t* box = s.found[side].data() + 2 * d * i;
    const std::size_t start = out.size();
    out.resize(start + 2 * fullDims, 0);
    for (std::size_t j = 0; j < d; ++j) {
      out[start + g.column[j]] = box[j];
      out[start + fullDims + g.column[j]] = box[d + j];
    }
  }
}

}  // namespace

void searchSubset(const SearchData& data, const arrint& map, SearchScratch& scratch,
                  SubsetPatterns& out) {
  out.clear(static_cast<std::int32_t>(map.size()));
  arrint full(map.size());
  for (std::size_t j = 0; j < map.size(); ++j) {
    full[j] = data.sizes[static_cast<std::size_t>(map[j])];
  }
  requireAddressableGrid(full);

  Grid g;
  int wide = 0;
  for (std::size_t j = 0; j < map.size(); ++j) wide += full[j] > 1;
  if (wide > kMaxFastDims) {
    literalSearchSubset(data, map, out);
    return;
  }
  for (std::size_t j = 0; j < map.size(); ++j) {
    if (full[j] <= 1) continue;
    const auto at = static_cast<std::size_t>(g.d++);
    g.dims[at] = full[j];
    g.column[at] = j;
  }
  if (g.d == 0) return;  // a single cell holds no box
  for (int j = g.d - 1; j >= 0; --j) {
    const auto at = static_cast<std::size_t>(j);
    g.stride[at] = g.cells;
    g.cells *= g.dims[at];
  }

  countAndCumulate(data, map, g, scratch);
  rankCells(g, scratch);
  for (int side = 0; side < 2; ++side) {
    scratch.found[side].clear();
    scratch.when[side].clear();
  }
  switch (g.d) {
    case 1:
      AnchorSweep<1>(g, data.rule, scratch).run();
      break;
    case 2:
      AnchorSweep<2>(g, data.rule, scratch).run();
      break;
    case 3:
      AnchorSweep<3>(g, data.rule, scratch).run();
      break;
    default:
      AnchorSweep<0>(g, data.rule, scratch).run();
      break;
  }
  emit(g, map.size(), scratch, 0, out.positive);
  emit(g, map.size(), scratch, 1, out.negative);
}
