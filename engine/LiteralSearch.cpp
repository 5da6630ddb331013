// The anchored-count walk of one subset written plainly, as the reference for the fast search.
//
// DSP and DSN hold, for the current anchor b, the counts of the box spanned by b and each
// cell. The anchor walks the grid in reflected Gray order; after each step one pass along the
// moved coordinate re-anchors the counts. Every cell after the anchor in the walk that
// dominates it is judged, and the working lists keep the boxes that no other accepted box
// contains.
#include <cstdlib>

#include "CellCounters.h"
#include "GridPoint.h"
#include "PatternBox.h"
#include "SubsetSearch.h"

namespace {

// Removes from the list every pattern that lies inside pat, equal boxes included.
void simplify(const PatternBox& pat, PatternBoxList& List) {
  std::int32_t i = 0;
  while (i < List.size()) {
    const PatternBox& v = *List.vals[static_cast<std::size_t>(i)];
    if (dominance(pat.a, v.a) >= 0 && dominance(v.b, pat.b) >= 0) {
      List.deleteAt(i);
    } else {
      ++i;
    }
  }
}

// Judges every box from basis to a later cell of the walk that dominates it.
// Boxes that span an attribute invalidly (spansValidly) are never accepted.
void collect_patterns(const GridPoint& basis, const CellCounters& DSP, const CellCounters& DSN,
                      const AcceptanceRule& rule, const arrint& missing, PatternBoxList& ListPos,
                      PatternBoxList& ListNeg) {
  GridPoint c(DSP.sizes);
  c.copyFrom(basis);
  auto valid = [&] {
    for (std::size_t j = 0; j < missing.size(); ++j) {
      if (!spansValidly(basis.idx[j], c.idx[j], missing[j])) return false;
    }
    return true;
  };
  auto accept = [&](PatternBoxList& list) {
    auto pat = std::make_unique<PatternBox>(basis, c);
    if (pat->containedIn(list)) return;
    simplify(*pat, list);
    std::string key = pat->toStr();
    list.add(key, std::move(pat));
  };
  while (!c.idx.empty()) {
    if (c.greater(basis) == 1 && valid()) {
      const auto p = static_cast<double>(DSP.get(c));
      const auto n = static_cast<double>(DSN.get(c));
      if (rule.positive(p, n)) accept(ListPos);
      if (rule.negative(p, n)) accept(ListNeg);
    }
    c.nextGray();
  }
}

// Calls visit() with the walker on every cell of every line along coordinate f.
template <class Visit>
void forEachLine(GridPoint& walker, std::int32_t f, Visit visit) {
  walker.first();
  while (!walker.idx.empty()) {
    visit();
    walker.nextGrayFix(f);
  }
}

void addAt(CellCounters& grid, GridPoint& walker, std::size_t f, std::int32_t i, std::int32_t x) {
  walker.idx[f] = i;
  grid.put(walker, grid.get(walker) + x);
}

}  // namespace

void literalSearchSubset(const SearchData& data, const arrint& map, SubsetPatterns& out) {
  const std::size_t m = map.size();
  out.clear(static_cast<std::int32_t>(m));
  arrint dims(m);
  arrint missing(m);
  for (std::size_t k = 0; k < m; ++k) {
    dims[k] = data.sizes[static_cast<std::size_t>(map[k])];
    missing[k] = data.missingBin[static_cast<std::size_t>(map[k])];
  }
  CellCounters DSP(dims);
  CellCounters DSN(dims);
  GridPoint walker(dims);
  GridPoint basis(dims);
  walker.first();
  basis.first();

  for (std::size_t r = 0; r < data.rows(); ++r) {
    for (std::size_t k = 0; k < m; ++k)
      walker.idx[k] = data.bins[static_cast<std::size_t>(map[k])][r];
    CellCounters& grid = data.weight[r] == kOnePositive ? DSP : DSN;
    grid.put(walker, grid.get(walker) + 1);
  }

  for (std::size_t f = 0; f < m; ++f) {
    forEachLine(walker, static_cast<std::int32_t>(f), [&] {
      std::int32_t sp = 0;
      std::int32_t sn = 0;
      for (std::int32_t i = 0; i < dims[f]; ++i) {
        walker.idx[f] = i;
        sp += DSP.get(walker);
        DSP.put(walker, sp);
        sn += DSN.get(walker);
        DSN.put(walker, sn);
      }
    });
  }

  PatternBoxList ListPos;
  PatternBoxList ListNeg;
  while (!basis.idx.empty()) {
    collect_patterns(basis, DSP, DSN, data.rule, missing, ListPos, ListNeg);
    walker.copyFrom(basis);
    const std::int32_t r = walker.nextGray();
    if (r != 0) {
      const auto f = static_cast<std::size_t>(std::abs(r) - 1);
      const std::int32_t t = basis.idx[f];
      forEachLine(walker, static_cast<std::int32_t>(f), [&] {
        walker.idx[f] = t;
        std::int32_t vp = DSP.get(walker);
        std::int32_t vn = DSN.get(walker);
        if (r > 0) {
          for (std::int32_t i = t + 1; i < dims[f]; ++i) {
            addAt(DSP, walker, f, i, -vp);
            addAt(DSN, walker, f, i, -vn);
          }
          walker.idx[f] = t + 1;
          vp = DSP.get(walker);
          vn = DSN.get(walker);
          for (std::int32_t i = 0; i <= t; ++i) {
            addAt(DSP, walker, f, i, vp);
            addAt(DSN, walker, f, i, vn);
          }
        } else {
          for (std::int32_t i = 0; i < t; ++i) {
            addAt(DSP, walker, f, i, -vp);
            addAt(DSN, walker, f, i, -vn);
          }
          walker.idx[f] = t - 1;
          vp = DSP.get(walker);
          vn = DSN.get(walker);
          for (std::int32_t i = t; i < dims[f]; ++i) {
            addAt(DSP, walker, f, i, vp);
            addAt(DSN, walker, f, i, vn);
          }
        }
        walker.idx[f] = t;
      });
    }
    basis.nextGray();
  }

  auto emit = [](const PatternBoxList& list, std::vector<std::int32_t>& side) {
    for (const auto& pattern : list.vals) {
      side.insert(side.end(), pattern->a.begin(), pattern->a.end());
      side.insert(side.end(), pattern->b.begin(), pattern->b.end());
    }
  };
  emit(ListPos, out.positive);
  emit(ListNeg, out.negative);
  foldMissingBins(data, map, out.positive, out.dims);
  foldMissingBins(data, map, out.negative, out.dims);
}
