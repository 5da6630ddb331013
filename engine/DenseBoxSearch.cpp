#include "DenseBoxSearch.h"

#include <array>
#include <vector>

namespace {

// The sweep of SubsetSearch.cpp judges boxes so that every box that contains a box comes
// before it, and keeps a box when no box kept so far contains it: what it keeps are exactly
// the accepted judged boxes that no other accepted judged box contains. On a small grid it is
// cheaper to find those directly: every judged box's counts and verdicts without branches,
// then the boxes that no other accepted box holds, by bit operations.
//
// The verdicts of the boxes from anchor a to cell c are held in one word per (a0, a1, c0, c1),
// bit 8 a2 + c2. A box lies in another when its anchor is at or above the other's and its cell
// at or below, so "some accepted box holds this one" is a running OR over the six coordinates:
// four across words, two inside each word by shifts.
constexpr int kDenseBins = 8;

class DenseSearch {
 public:
  DenseSearch(const SubsetGrid& grid, const AcceptanceRule& rule, SearchScratch& scratch)
      : g_(grid), rule_(rule), s_(scratch) {}

  static bool handles(const SubsetGrid& g) {
    return g.d == 3 && !g.anyMissing && g.dims[0] <= kDenseBins && g.dims[1] <= kDenseBins &&
           g.dims[2] <= kDenseBins;
  }

  void run() {
    for (int side = 0; side < 2; ++side) s_.verdicts[side].assign(kWords, 0);
    judgeEveryBox();
    for (int side = 0; side < 2; ++side) keepUnheld(side);
  }

 private:
  static constexpr std::size_t kWords = kDenseBins * kDenseBins * kDenseBins * kDenseBins;
  static std::size_t word(int a0, int a1, int c0, int c1) {
    return static_cast<std::size_t>(((a0 * kDenseBins + a1) * kDenseBins + c0) * kDenseBins + c1);
  }

  // The prefix sums along coordinate 2 at (x0, x1), or zeros when x0 or x1 is -1.
  const std::uint64_t* prefixRow(int x0, int x1) const {
    if (x0 < 0 || x1 < 0) return zeros_.data();
    return s_.grid.data() + x0 * g_.stride[0] + x1 * g_.stride[1];
  }

  void judgeEveryBox() {
    const int n0 = g_.dims[0];
    const int n1 = g_.dims[1];
    const int n2 = g_.dims[2];
    const bool byCounts = !rule_.verdicts.empty();
    std::array<std::uint64_t, kDenseBins + 1> column{};  // column[z + 1]: counts up to bin z
    for (int a0 = 0; a0 < n0; ++a0) {
      // The walk moves coordinate 1 upward at the anchor when a0 is even, and coordinate 2
      // when the steps before it over coordinates 0 and 1 are even in number.
      const bool upward1 = a0 % 2 == 0;
      for (int a1 = 0; a1 < n1; ++a1) {
        const int digit1 = upward1 ? a1 : n1 - 1 - a1;
        const bool upward2 = ((a0 * n1 + digit1) & 1) == 0;
        for (int c0 = a0; c0 < n0; ++c0) {
          for (int c1 = a1; c1 < n1; ++c1) {
            // Which boxes of this word the walk judges: c2 >= a2, and c2 > a2 when the cell
            // equals the anchor in coordinates 0 and 1.
            bool strict = false;
            if (c0 == a0 && c1 == a1) {
              if (!upward2) continue;
              strict = true;
            } else if (c0 == a0 && !upward1) {
              continue;
            }
            const std::uint64_t* whole = prefixRow(c0, c1);
            const std::uint64_t* before0 = prefixRow(a0 - 1, c1);
            const std::uint64_t* before1 = prefixRow(c0, a1 - 1);
            const std::uint64_t* beforeBoth = prefixRow(a0 - 1, a1 - 1);
            for (std::size_t z = 0; z < static_cast<std::size_t>(n2); ++z) {
              column[z + 1] = whole[z] - before0[z] - before1[z] + beforeBoth[z];
            }
            // Too few observations in the word's largest box for either side: none accepted.
            const std::uint64_t most = column[static_cast<std::size_t>(n2)];
            if (positivesOf(most) < rule_.minPositive && negativesOf(most) < rule_.minNegative) {
              continue;
            }
            std::uint64_t positive = 0;
            std::uint64_t negative = 0;
            if (byCounts) {
              judgeWordByCounts(column, n2, strict, positive, negative);
            } else {
              judgeWord(column, n2, strict, positive, negative);
            }
            s_.verdicts[0][word(a0, a1, c0, c1)] = positive;
            s_.verdicts[1][word(a0, a1, c0, c1)] = negative;
          }
        }
      }
    }
  }

  // The verdicts of one word's boxes, from the counts up to each bin of coordinate 2: the box
  // from a2 to c2 is bit 8 a2 + c2.
  void judgeWord(const std::array<std::uint64_t, kDenseBins + 1>& column, int n2, bool strict,
                 std::uint64_t& positive, std::uint64_t& negative) const {
    const std::int64_t* positiveFrom = rule_.positiveFrom.data();
    const std::int64_t* negativeUpTo = rule_.negativeUpTo.data();
    for (int a2 = 0; a2 < n2; ++a2) {
      const std::uint64_t below = column[static_cast<std::size_t>(a2)];
      for (int c2 = strict ? a2 + 1 : a2; c2 < n2; ++c2) {
        const std::uint64_t v = column[static_cast<std::size_t>(c2 + 1)] - below;
        const std::int64_t p = positivesOf(v);
        const auto t = static_cast<std::size_t>(p + negativesOf(v));
        const unsigned bit = static_cast<unsigned>(a2 * kDenseBins + c2);
        positive |= static_cast<std::uint64_t>(p >= positiveFrom[t]) << bit;
        negative |= static_cast<std::uint64_t>(p <= negativeUpTo[t]) << bit;
      }
    }
  }

  // The same by the rule's table of verdicts by counts. The counts are packed again as
  // p * countStride + n, which is linear, so that the difference of two packed prefix counts is
  // a box's place in the table.
  void judgeWordByCounts(const std::array<std::uint64_t, kDenseBins + 1>& column, int n2,
                         bool strict, std::uint64_t& positive, std::uint64_t& negative) const {
    const std::uint8_t* verdicts = rule_.verdicts.data();
    const auto stride = static_cast<std::uint64_t>(rule_.countStride);
    std::array<std::uint64_t, kDenseBins + 1> places{};
    for (std::size_t z = 0; z <= static_cast<std::size_t>(n2); ++z) {
      places[z] = (column[z] >> 32) * stride + (column[z] & 0xffffffffu);
    }
    for (int a2 = 0; a2 < n2; ++a2) {
      const std::uint64_t below = places[static_cast<std::size_t>(a2)];
      for (int c2 = strict ? a2 + 1 : a2; c2 < n2; ++c2) {
        const std::uint64_t verdict = verdicts[places[static_cast<std::size_t>(c2 + 1)] - below];
        const unsigned bit = static_cast<unsigned>(a2 * kDenseBins + c2);
        positive |= (verdict & 1u) << bit;
        negative |= (verdict >> 1) << bit;
      }
    }
  }

  // Within a word: from the box with anchor bin a2 - 1, and from the box with cell bin c2 + 1.
  static std::uint64_t fromLowerAnchor(std::uint64_t x) { return x << kDenseBins; }
  static std::uint64_t fromHigherCell(std::uint64_t x) { return (x >> 1) & 0x7f7f7f7f7f7f7f7full; }

  // Keeps every accepted box of the side that no other accepted judged box contains.
  void keepUnheld(int side) {
    const int n0 = g_.dims[0];
    const int n1 = g_.dims[1];
    const std::vector<std::uint64_t>& accepted = s_.verdicts[side];
    std::vector<std::uint64_t>& held = s_.held;  // accepted, or inside an accepted box
    held.assign(kWords, 0);
    // Anchors upward and cells downward, so that every word's containing words come first.
    for (int a0 = 0; a0 < n0; ++a0) {
      for (int a1 = 0; a1 < n1; ++a1) {
        for (int c0 = n0 - 1; c0 >= a0; --c0) {
          for (int c1 = n1 - 1; c1 >= a1; --c1) {
            std::uint64_t x = accepted[word(a0, a1, c0, c1)];
            if (a0 > 0) x |= held[word(a0 - 1, a1, c0, c1)];
            if (a1 > 0) x |= held[word(a0, a1 - 1, c0, c1)];
            if (c0 + 1 < n0) x |= held[word(a0, a1, c0 + 1, c1)];
            if (c1 + 1 < n1) x |= held[word(a0, a1, c0, c1 + 1)];
            // Every lower anchor bin, then every higher cell bin, in steps of 1, 2 and 4.
            x |= x << kDenseBins;
            x |= x << (2 * kDenseBins);
            x |= x << (4 * kDenseBins);
            x |= (x >> 1) & 0x7f7f7f7f7f7f7f7full;
            x |= (x >> 2) & 0x3f3f3f3f3f3f3f3full;
            x |= (x >> 4) & 0x0f0f0f0f0f0f0f0full;
            held[word(a0, a1, c0, c1)] = x;
          }
        }
      }
    }
    for (int a0 = 0; a0 < n0; ++a0) {
      for (int a1 = 0; a1 < n1; ++a1) {
        for (int c0 = a0; c0 < n0; ++c0) {
          for (int c1 = a1; c1 < n1; ++c1) {
            const std::uint64_t mine = accepted[word(a0, a1, c0, c1)];
            if (mine == 0) continue;
            std::uint64_t larger = 0;
            if (a0 > 0) larger |= held[word(a0 - 1, a1, c0, c1)];
            if (a1 > 0) larger |= held[word(a0, a1 - 1, c0, c1)];
            if (c0 + 1 < n0) larger |= held[word(a0, a1, c0 + 1, c1)];
            if (c1 + 1 < n1) larger |= held[word(a0, a1, c0, c1 + 1)];
            const std::uint64_t here = held[word(a0, a1, c0, c1)];
            larger |= fromLowerAnchor(here) | fromHigherCell(here);
            for (std::uint64_t kept = mine & ~larger; kept != 0; kept &= kept - 1) {
              const int bit = __builtin_ctzll(kept);
              keep(side, {a0, a1, bit / kDenseBins}, {c0, c1, bit % kDenseBins});
            }
          }
        }
      }
    }
  }

  void keep(int side, const std::array<std::int32_t, 3>& lower,
            const std::array<std::int32_t, 3>& upper) {
    std::int64_t anchor = 0;
    std::int64_t cell = 0;
    for (std::size_t j = 0; j < 3; ++j) {
      anchor += lower[j] * g_.stride[j];
      cell += upper[j] * g_.stride[j];
    }
    std::vector<std::int32_t>& found = s_.found[side];
    found.insert(found.end(), lower.begin(), lower.end());
    found.insert(found.end(), upper.begin(), upper.end());
    s_.when[side].push_back(static_cast<std::uint64_t>(s_.rank[static_cast<std::size_t>(anchor)])
                                << 32 |
                            s_.rank[static_cast<std::size_t>(cell)]);
  }

  const SubsetGrid& g_;
  const AcceptanceRule& rule_;
  SearchScratch& s_;
  const std::array<std::uint64_t, kDenseBins> zeros_{};
};

}  // namespace

bool denseSearchHandles(const SubsetGrid& grid) {
  return DenseSearch::handles(grid);
}

void denseSearch(const SubsetGrid& grid, const AcceptanceRule& rule, SearchScratch& scratch) {
  DenseSearch(grid, rule, scratch).run();
}
