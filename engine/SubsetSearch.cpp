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

#include "CellCounters.h"
#include "DenseBoxSearch.h"
#include "SubsetGrid.h"

namespace {

constexpr int kMaxTerms = 1 << (kMaxFastDims - 1);
// A box's corner packed a byte per coordinate is compared with another in one subtraction.
constexpr std::uint64_t kByteHighBits = 0x8080808080808080ull;

// Whether every byte of x is at least the same byte of y, all bytes below 128: setting each
// byte's high bit first leaves no borrow between bytes, and keeps that bit where x >= y.
inline bool bytesAtLeast(std::uint64_t x, std::uint64_t y) {
  return (((x | kByteHighBits) - y) & kByteHighBits) == kByteHighBits;
}

// One term of an inclusion-exclusion sum: the entry at base, added when negate is 0 and
// subtracted when it is all ones, so that the sums have no branches.
struct Term {
  std::int64_t base;
  std::uint64_t negate;
};

inline std::uint64_t withSign(std::uint64_t x, std::uint64_t negate) {
  return (x ^ negate) - negate;
}

template <int D>  // D > 0: exactly D coordinates; D == 0: up to kMaxFastDims, known at run time
class AnchorSweep {
 public:
  AnchorSweep(const SubsetGrid& grid, const AcceptanceRule& rule, SearchScratch& scratch)
      : g_(grid), rule_(rule), s_(scratch) {
    const auto cells = static_cast<std::size_t>(grid.cells);
    prefix_ = scratch.grid.data();
    suffix_ = prefix_ + cells;
    for (std::size_t k = 0; k + 2 < static_cast<std::size_t>(grid.d); ++k) {
      upTo_[k] = prefix_ + (2 + 2 * k) * cells;
      exactAfter_[k] = prefix_ + (3 + 2 * k) * cells;
    }
  }

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

  void anchor(const std::array<std::int32_t, kMaxFastDims>& a, std::int64_t cell) {
    a_ = a;
    const std::uint64_t whole = suffix_[cell];
    if (positivesOf(whole) < rule_.minPositive && negativesOf(whole) < rule_.minNegative) return;
    // tail_[k]: the address part of coordinates after k at the anchor's own bins.
    std::int64_t tail = 0;
    for (std::size_t j = ud(); j-- > 0;) {
      tail_[j] = tail;
      tail += a[j] * g_.stride[j];
    }
    // Coordinate j moves upward from here when the walk over coordinates 0..j-1 has made an
    // even number of steps before this cell.
    unsigned parity = 0;
    for (std::size_t j = 0; j < ud(); ++j) {
      upward_[j] = parity == 0;
      const std::int32_t digit = upward_[j] ? a[j] : g_.dims[j] - 1 - a[j];
      parity = (parity * static_cast<unsigned>(g_.dims[j]) + static_cast<unsigned>(digit)) & 1u;
    }
    anchorRank_ = static_cast<std::uint64_t>(s_.rank[static_cast<std::size_t>(cell)]) << 32;
    terms_[0][0] = {0, 0};
    termCount_[0] = 1;
    visit(0, true, {true, true});
  }

  // Terms of level k + 1 from those of level k with coordinate k at ck.
  void extend(std::size_t k, std::int32_t ck) {
    std::size_t n = 0;
    for (std::size_t t = 0; t < termCount_[k]; ++t) {
      const Term term = terms_[k][t];
      terms_[k + 1][n++] = {term.base + ck * g_.stride[k], term.negate};
      if (a_[k] > 0) terms_[k + 1][n++] = {term.base + (a_[k] - 1) * g_.stride[k], ~term.negate};
    }
    termCount_[k + 1] = n;
  }

  // Which sides may still keep a box in a region. A side dies when the region's largest box
  // has too few observations of its class, or when a box of the region that contains every
  // other box of it has been judged accepted on that side (kept, or inside a kept box).
  struct Alive {
    bool positive;
    bool negative;
    bool any() const { return positive || negative; }
  };

  // The region's counts in one of the cumulated grids: the terms of level k + 1 (coordinates
  // 0..k of c_) at the anchor's own bins after k.
  std::uint64_t regionSum(const std::uint64_t* grid, std::size_t k) const {
    std::uint64_t v = 0;
    for (std::size_t t = 0; t < termCount_[k + 1]; ++t) {
      v += withSign(grid[terms_[k + 1][t].base + tail_[k]], terms_[k + 1][t].negate);
    }
    return v;
  }
  // The counts of the region's largest box: every coordinate after k from the anchor's bin to
  // its last bin.
  std::uint64_t largest(std::size_t k) const { return regionSum(upTo_[k], k); }
  // The counts of the region's smallest box: every coordinate after k at the anchor's bin.
  std::uint64_t smallest(std::size_t k) const { return regionSum(exactAfter_[k], k); }

  // Whether any box of a region can be positive (negative) when its largest box has counts
  // most and its smallest box counts least. Both tests only grow with the positives and fall
  // with the negatives (for the negative test, the other way round), so the best case of a
  // positive box is the largest box's positives with the smallest box's negatives.
  Alive possibleWith(std::uint64_t most, std::uint64_t least, Alive alive) const {
    const std::int64_t pMost = positivesOf(most);
    const std::int64_t nMost = negativesOf(most);
    const std::int64_t pLeast = positivesOf(least);
    const std::int64_t nLeast = negativesOf(least);
    return {
        alive.positive && pMost >= rule_.positiveFrom[static_cast<std::size_t>(pMost + nLeast)],
        alive.negative && pLeast <= rule_.negativeUpTo[static_cast<std::size_t>(pLeast + nMost)]};
  }

  // Whether a smaller region of the same loop can still hold a box: the counts of its largest
  // box only fall.
  bool anyLeft(std::uint64_t most, Alive alive) const {
    return (alive.positive && positivesOf(most) >= rule_.minPositive) ||
           (alive.negative && negativesOf(most) >= rule_.minNegative);
  }

  // Judges the largest box of a region, the region's first box in the order of the sweep, and
  // returns the sides still alive in the rest of the region.
  Alive judgeLargest(std::size_t k, std::uint64_t v, Alive alive) {
    if (!alive.any()) return alive;
    const std::int64_t p = positivesOf(v);
    const auto t = static_cast<std::size_t>(p + negativesOf(v));
    const bool valid = !g_.anyMissing || largestValid(k);
    const bool positive = valid && alive.positive && p >= rule_.positiveFrom[t];
    const bool negative = valid && alive.negative && p <= rule_.negativeUpTo[t];
    if (positive || negative) {
      std::array<std::int32_t, kMaxFastDims> top = c_;
      for (std::size_t j = k + 1; j < ud(); ++j) top[j] = g_.dims[j] - 1;
      if (positive) keep(0, top);
      if (negative) keep(1, top);
    }
    return {alive.positive && !positive, alive.negative && !negative};
  }

  // Whether coordinates 0..k-1, from the anchor to c_, span validly (spansValidly): a box
  // that does not is never kept, though it still bounds the boxes inside it.
  bool prefixValid(std::size_t k) const {
    for (std::size_t j = 0; j < k; ++j) {
      if (!spansValidly(a_[j], c_[j], g_.missing[j])) return false;
    }
    return true;
  }
  // The same for the largest box of a region: coordinates 0..k to c_, the rest to their last
  // bin, which spans validly only from bin 0.
  bool largestValid(std::size_t k) const {
    for (std::size_t j = k + 1; j < ud(); ++j) {
      if (g_.missing[j] >= 0 && a_[j] > 0) return false;
    }
    return prefixValid(k + 1);
  }

  // Coordinates 0..k-1 of c_ are set; `equal` when they are the anchor's.
  void visit(std::size_t k, bool equal, Alive alive) {
    if (k + 1 == ud()) {
      line(equal, alive);
      return;
    }
    if (k + 2 == ud()) {
      // Each region here is one line, which judges its own largest and smallest boxes.
      if (!equal || upward_[k]) {
        for (std::int32_t ck = g_.dims[k] - 1; ck > a_[k]; --ck) {
          c_[k] = ck;
          extend(k, ck);
          if (!line(false, alive)) break;  // smaller lines hold fewer observations
        }
      }
      c_[k] = a_[k];
      extend(k, a_[k]);
      line(equal, alive);
      return;
    }
    if (!equal || upward_[k]) {
      // Every cell of these regions is judged, the largest box of each first.
      for (std::int32_t ck = g_.dims[k] - 1; ck > a_[k]; --ck) {
        c_[k] = ck;
        extend(k, ck);
        const std::uint64_t v = largest(k);
        if (!anyLeft(v, alive)) break;  // smaller regions hold fewer observations
        const Alive inner = judgeLargest(k, v, possibleWith(v, smallest(k), alive));
        if (inner.any()) visit(k + 1, false, inner);
      }
    }
    c_[k] = a_[k];
    extend(k, a_[k]);
    const std::uint64_t v = largest(k);
    const Alive possible = possibleWith(v, smallest(k), alive);
    const Alive inner = equal ? possible : judgeLargest(k, v, possible);
    if (inner.any()) visit(k + 1, equal, inner);
  }

  // The last coordinate runs downward over the judged cells of this line. Each box of the
  // line lies inside the boxes before it, so a side is done at its first accepted box.
  // Returns whether the line's largest box holds enough observations of a live side for a
  // pattern, which a line with smaller bounds before its last coordinate cannot exceed.
  bool line(bool equal, Alive alive) {
    const std::size_t k = ud() - 1;
    std::int32_t low = a_[k];
    if (equal) {
      if (!upward_[k]) return true;
      ++low;
    }
    if (low > g_.dims[k] - 1) return true;
    switch (termCount_[k]) {
      case 1:
        return sweepLine<1>(low, alive);
      case 2:
        return sweepLine<2>(low, alive);
      case 4:
        return sweepLine<4>(low, alive);
      case 8:
        return sweepLine<8>(low, alive);
      case 16:
        return sweepLine<16>(low, alive);
      default:
        return sweepLine<32>(low, alive);
    }
  }

  // The line with its N terms held in locals.
  template <std::size_t N>
  bool sweepLine(std::int32_t low, Alive alive) {
    const std::size_t k = ud() - 1;
    std::array<const std::uint64_t*, N> rows{};
    std::array<std::uint64_t, N> negate{};
    for (std::size_t t = 0; t < N; ++t) {
      rows[t] = prefix_ + terms_[k][t].base;
      negate[t] = terms_[k][t].negate;
    }
    auto lineSum = [&](std::int32_t z) {
      std::uint64_t v = 0;
      for (std::size_t t = 0; t < N; ++t) v += withSign(rows[t][z], negate[t]);
      return v;
    };
    const std::uint64_t below = a_[k] > 0 ? lineSum(a_[k] - 1) : 0;
    // With missing values, the one end of the last coordinate that spans invalidly from the
    // anchor (-1: none), and a line whose other coordinates span invalidly keeps nothing.
    std::int32_t invalidEnd = -1;
    if (g_.anyMissing) {
      if (!prefixValid(k)) return anyLeft(lineSum(g_.dims[k] - 1) - below, alive);
      const std::int32_t missing = g_.missing[k];
      if (missing >= 0) invalidEnd = a_[k] == 0 ? missing - 1 : missing;
    }
    const std::uint64_t least = lineSum(low) - below;
    const std::int64_t pLeast = positivesOf(least);
    const std::int64_t nLeast = negativesOf(least);
    const std::int64_t* positiveFrom = rule_.positiveFrom.data();
    const std::int64_t* negativeUpTo = rule_.negativeUpTo.data();
    for (std::int32_t z = g_.dims[k] - 1; z >= low; --z) {
      const std::uint64_t v = lineSum(z) - below;
      const std::int64_t p = positivesOf(v);
      const std::int64_t n = negativesOf(v);
      if (z == g_.dims[k] - 1 && !anyLeft(v, alive)) return false;
      // This box is the largest of the rest of the line, the last one its smallest.
      alive.positive = alive.positive && p >= positiveFrom[static_cast<std::size_t>(p + nLeast)];
      alive.negative =
          alive.negative && pLeast <= negativeUpTo[static_cast<std::size_t>(pLeast + n)];
      if (!alive.any()) break;
      const auto t = static_cast<std::size_t>(p + n);
      if (z == invalidEnd) continue;
      if (alive.positive && p >= positiveFrom[t]) {
        c_[k] = z;
        keep(0, c_);
        alive.positive = false;
      }
      if (alive.negative && p <= negativeUpTo[t]) {
        c_[k] = z;
        keep(1, c_);
        alive.negative = false;
      }
    }
    return true;
  }

  // The corner packed a byte per coordinate.
  std::uint64_t pack(const std::array<std::int32_t, kMaxFastDims>& corner) const {
    std::uint64_t packed = 0;
    for (std::size_t j = 0; j < ud(); ++j)
      packed |= static_cast<std::uint64_t>(corner[j]) << (8 * j);
    return packed;
  }

  // Keeps the box from a_ to upper on one side unless a box kept before contains it.
  void keep(int side, const std::array<std::int32_t, kMaxFastDims>& upper) {
    std::vector<std::int32_t>& found = s_.found[side];
    if (g_.packed) {
      const std::uint64_t lower = pack(a_);
      const std::uint64_t box = pack(upper);
      std::vector<std::uint64_t>& lowers = s_.packedLower[side];
      std::vector<std::uint64_t>& uppers = s_.packedUpper[side];
      for (std::size_t i = lowers.size(); i-- > 0;) {
        if (bytesAtLeast(lower, lowers[i]) & bytesAtLeast(uppers[i], box)) return;
      }
      lowers.push_back(lower);
      uppers.push_back(box);
    } else {
      const std::size_t width = 2 * ud();
      for (std::size_t at = found.size(); at > 0; at -= width) {
        const std::int32_t* box = found.data() + (at - width);
        bool inside = true;
        for (std::size_t j = 0; j < ud(); ++j) {
          inside &= (box[j] <= a_[j]) & (upper[j] <= box[ud() + j]);
        }
        if (inside) return;
      }
    }
    std::int64_t cell = 0;
    for (std::size_t j = 0; j < ud(); ++j) cell += upper[j] * g_.stride[j];
    found.insert(found.end(), a_.begin(), a_.begin() + d());
    found.insert(found.end(), upper.begin(), upper.begin() + d());
    s_.when[side].push_back(anchorRank_ | s_.rank[static_cast<std::size_t>(cell)]);
  }

  const SubsetGrid& g_;
  const AcceptanceRule& rule_;
  SearchScratch& s_;
  const std::uint64_t* suffix_ = nullptr;  // counts of the cells at or above each cell
  std::array<const std::uint64_t*, kMaxFastDims> upTo_{};        // prefix in 0..k, suffix after k
  const std::uint64_t* prefix_ = nullptr;                        // prefix sums in every coordinate
  std::array<const std::uint64_t*, kMaxFastDims> exactAfter_{};  // prefix in 0..k only
  std::array<std::int64_t, kMaxFastDims> tail_{};
  std::array<std::int32_t, kMaxFastDims> a_{};
  std::array<std::int32_t, kMaxFastDims> c_{};
  std::array<bool, kMaxFastDims> upward_{};
  std::uint64_t anchorRank_ = 0;
  std::array<std::array<Term, kMaxTerms>, kMaxFastDims> terms_{};
  std::array<std::size_t, kMaxFastDims> termCount_{};
};

// Running sums of one grid along coordinate j, upward (prefix) or downward (suffix).
void cumulate(std::uint64_t* grid, const SubsetGrid& g, std::size_t j, bool upward) {
  const std::int64_t stride = g.stride[j];
  const std::int64_t block = stride * g.dims[j];
  for (std::int64_t base = 0; base < g.cells; base += block) {
    if (upward) {
      for (std::int64_t at = base + stride; at < base + block; ++at) grid[at] += grid[at - stride];
    } else {
      for (std::int64_t at = base + block - stride; at-- > base;) grid[at] += grid[at + stride];
    }
  }
}

// Packed counts per cell, cumulated into the grids that the sweep reads: grid 0 holds at each
// cell the counts of the cells at or below it (prefix sums), grid 1 of those at or above it
// (suffix sums); for the regions of coordinates k = 0 .. d-3, grid 2 + 2k of the cells at or
// below it in coordinates 0..k and at or above it in the others, and grid 3 + 2k of those at
// or below it in coordinates 0..k and equal to it in the others.
void countAndCumulate(const SearchData& data, const arrint& map, const SubsetGrid& g,
                      SearchScratch& s) {
  const auto cells = static_cast<std::size_t>(g.cells);
  const auto d = static_cast<std::size_t>(g.d);
  const std::size_t grids = d >= 2 ? 2 * d - 2 : 2;
  s.grid.assign(grids * cells, 0);
  s.address.assign(data.rows(), 0);
  for (std::size_t j = 0; j < d; ++j) {
    const arrint& column = data.bins[static_cast<std::size_t>(map[g.column[j]])];
    const std::int64_t stride = g.stride[j];
    for (std::size_t r = 0; r < data.rows(); ++r) s.address[r] += column[r] * stride;
  }
  for (std::size_t r = 0; r < data.rows(); ++r) {
    s.grid[static_cast<std::size_t>(s.address[r])] += data.weight[r];
  }
  for (std::size_t level = 1; level < grids; ++level) {
    std::copy(s.grid.begin(), s.grid.begin() + static_cast<std::ptrdiff_t>(cells),
              s.grid.begin() + static_cast<std::ptrdiff_t>(level * cells));
  }
  std::uint64_t* grid = s.grid.data();
  for (std::size_t j = 0; j < d; ++j) cumulate(grid, g, j, true);
  for (std::size_t j = 0; j < d; ++j) cumulate(grid + cells, g, j, false);
  for (std::size_t k = 0; k + 2 < d; ++k) {
    for (std::size_t j = 0; j < d; ++j) cumulate(grid + (2 + 2 * k) * cells, g, j, j <= k);
    for (std::size_t j = 0; j <= k; ++j) cumulate(grid + (3 + 2 * k) * cells, g, j, true);
  }
}

// Every cell's position in the reflected Gray walk, last coordinate fastest.
void rankCells(const SubsetGrid& g, SearchScratch& s) {
  const std::vector<std::int32_t> shape(g.dims.begin(), g.dims.begin() + g.d);
  if (shape == s.rankShape) return;
  s.rankShape = shape;
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
void emit(const SubsetGrid& g, std::size_t fullDims, SearchScratch& s, int side,
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

bool fastSearchHandles(const arrint& dims) {
  return std::count_if(dims.begin(), dims.end(), [](std::int32_t size) { return size > 1; }) <=
         kMaxFastDims;
}

std::uint64_t searchBytesPerCell(const arrint& dims) {
  std::uint64_t wide = 0;
  for (const std::int32_t size : dims) wide += size > 1;
  // Beyond the fast search's coordinates, the literal walk's two 32-bit count grids.
  if (!fastSearchHandles(dims)) return 8;
  const std::uint64_t grids = wide >= 2 ? 2 * wide - 2 : 2;
  return 8 * grids + 4;  // cumulated packed counts, and each cell's rank
}

void searchSubset(const SearchData& data, const arrint& map, SearchScratch& scratch,
                  SubsetPatterns& out) {
  out.clear(static_cast<std::int32_t>(map.size()));
  arrint full(map.size());
  for (std::size_t j = 0; j < map.size(); ++j) {
    full[j] = data.sizes[static_cast<std::size_t>(map[j])];
  }
  requireAddressableGrid(full);

  SubsetGrid g;
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
    g.missing[at] = data.missingBin[static_cast<std::size_t>(map[j])];
    g.anyMissing = g.anyMissing || g.missing[at] >= 0;
    g.packed = g.packed && full[j] <= kMaxPackedBins;
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
    scratch.packedLower[side].clear();
    scratch.packedUpper[side].clear();
  }
  switch (g.d) {
    case 1:
      AnchorSweep<1>(g, data.rule, scratch).run();
      break;
    case 2:
      AnchorSweep<2>(g, data.rule, scratch).run();
      break;
    case 3:
      if (denseSearchHandles(g)) {
        denseSearch(g, data.rule, scratch);
      } else {
        AnchorSweep<3>(g, data.rule, scratch).run();
      }
      break;
    default:
      AnchorSweep<0>(g, data.rule, scratch).run();
      break;
  }
  emit(g, map.size(), scratch, 0, out.positive);
  emit(g, map.size(), scratch, 1, out.negative);
  if (g.anyMissing) {
    foldMissingBins(data, map, out.positive, out.dims);
    foldMissingBins(data, map, out.negative, out.dims);
  }
}
