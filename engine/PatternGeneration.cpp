// The search of one attribute subset's grid for maximal positive and negative boxes.
//
// For the current anchor cell b, DSP and DSN hold at every cell c the counts of the box
// spanned by b and c. The anchor walks the grid in reflected Gray order, one coordinate by one
// step at a time, and one pass over the grid re-anchors the counts. Every box from b to a cell
// that dominates b and comes after b in the walk is judged with two lookups.
#include <cstdlib>

#include "TLAD.h"

namespace {

// Cell address strides: the last dimension varies fastest.
arrint stridesOf(const arrint& dims) {
  arrint strides(dims.size(), 1);
  for (std::size_t j = dims.size(); j-- > 1;) strides[j - 1] = strides[j] * dims[j];
  return strides;
}

// Calls visit(base) for the first cell of every line of the grid along dimension f.
template <class Visit>
void forEachLine(const arrint& dims, const arrint& strides, std::size_t f, Visit visit) {
  const std::int32_t stride = strides[f];
  const std::int32_t block = stride * dims[f];
  std::int32_t outer = 1;
  for (std::size_t j = 0; j < f; ++j) outer *= dims[j];
  for (std::int32_t o = 0; o < outer; ++o) {
    for (std::int32_t inner = 0; inner < stride; ++inner) visit(o * block + inner);
  }
}

// Re-anchors one count grid after the anchor moved on dimension f from t by step (+1 or -1):
// on each line the cells beyond the old anchor lose its slice, and the cells on the other
// side gain the slice the anchor moves onto.
void reanchor(arrint& cells, const arrint& dims, const arrint& strides, std::size_t f,
              std::int32_t t, std::int32_t step) {
  const std::int32_t stride = strides[f];
  const std::int32_t size = dims[f];
  forEachLine(dims, strides, f, [&](std::int32_t base) {
    std::int32_t* line = cells.data() + base;
    const std::int32_t old = line[t * stride];
    if (step > 0) {
      for (std::int32_t i = t + 1; i < size; ++i) line[i * stride] -= old;
      const std::int32_t gained = line[(t + 1) * stride];
      for (std::int32_t i = 0; i <= t; ++i) line[i * stride] += gained;
    } else {
      for (std::int32_t i = 0; i < t; ++i) line[i * stride] -= old;
      const std::int32_t gained = line[(t - 1) * stride];
      for (std::int32_t i = t; i < size; ++i) line[i * stride] += gained;
    }
  });
}

}  // namespace

void TLAD::buildpatterns(const arrint& map, TPatternList& ListPos, TPatternList& ListNeg) {
  const std::size_t m = map.size();
  arrint dims(m);
  for (std::size_t k = 0; k < m; ++k) dims[k] = sizes[static_cast<std::size_t>(map[k])];
  DSP = std::make_unique<TDataStructure>(dims);
  DSN = std::make_unique<TDataStructure>(dims);
  const arrint strides = stridesOf(dims);
  arrint& pos = DSP->cells;
  arrint& neg = DSN->cells;

  // Count every observation into its cell.
  for (std::size_t r = 0; r < datagrid.size(); ++r) {
    std::int32_t address = 0;
    for (std::size_t k = 0; k < m; ++k) {
      address += datagrid[r][static_cast<std::size_t>(map[k])] * strides[k];
    }
    if (classvector[r] == 1) ++pos[static_cast<std::size_t>(address)];
    if (classvector[r] == 0) ++neg[static_cast<std::size_t>(address)];
  }

  // Cumulate along every dimension: the counts anchored at cell 0.
  for (std::size_t f = 0; f < m; ++f) {
    const std::int32_t stride = strides[f];
    for (arrint* grid : {&pos, &neg}) {
      forEachLine(dims, strides, f, [&](std::int32_t base) {
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < dims[f]; ++i) {
          std::int32_t& cell = (*grid)[static_cast<std::size_t>(base + i * stride)];
          sum += cell;
          cell = sum;
        }
      });
    }
  }

  // Walk the anchor through the grid.
  TIndex basis(dims);
  TIndex walker(dims);
  TIndex candidate(dims);
  basis.first();
  while (!basis.idx.empty()) {
    collectFrom(basis, strides, candidate, *DSP, *DSN, ListPos, ListNeg);
    walker.Copyfrom(basis);
    const std::int32_t r = walker.nextGray();
    if (r != 0) {
      const auto f = static_cast<std::size_t>(std::abs(r) - 1);
      const std::int32_t t = basis.idx[f];
      reanchor(pos, dims, strides, f, t, r > 0 ? 1 : -1);
      reanchor(neg, dims, strides, f, t, r > 0 ? 1 : -1);
    }
    basis.nextGray();
  }

  for (TInterval* pattern : ListPos.vals) pattern->updatemap(map);
  for (TInterval* pattern : ListNeg.vals) pattern->updatemap(map);
  DSP->Free();
  DSN->Free();
}

void TLAD::collect_patterns(const TIndex& basis, const TDataStructure& DSP,
                            const TDataStructure& DSN, TPatternList& ListPos,
                            TPatternList& ListNeg) {
  const std::size_t d = basis.idx.size();
  arrint dims(d);
  for (std::size_t j = 0; j < d; ++j) dims[j] = basis.ub[j] + 1;
  TIndex c(dims);
  collectFrom(basis, stridesOf(dims), c, DSP, DSN, ListPos, ListNeg);
}

void TLAD::collectFrom(const TIndex& basis, const arrint& strides, TIndex& c,
                       const TDataStructure& DSP, const TDataStructure& DSN, TPatternList& ListPos,
                       TPatternList& ListNeg) {
  const std::size_t d = basis.idx.size();
  // c continues the anchor's own Gray walk. Its address and its dominance over the anchor
  // (how many coordinates lie below and above the anchor's) change by one step at a time.
  c.Copyfrom(basis);
  std::int32_t address = DSP.getaddress(c);
  std::int32_t below = 0;
  std::int32_t above = 0;
  for (;;) {
    const std::int32_t r = c.nextGray();
    if (r == 0) break;
    const auto j = static_cast<std::size_t>(std::abs(r) - 1);
    const std::int32_t step = r > 0 ? 1 : -1;
    const std::int32_t now = c.idx[j];
    const std::int32_t before = now - step;
    const std::int32_t anchor = basis.idx[j];
    below += (now < anchor) - (before < anchor);
    above += (now > anchor) - (before > anchor);
    address += step * strides[j];
    if (below != 0) {
      // While coordinate low stays below the anchor no cell dominates it: skip to the next
      // move of a coordinate before it, or, when low moves toward the anchor, of low itself.
      // The first coordinate never turns back, so once it is below the anchor the rest of the
      // walk holds no candidate.
      std::size_t low = 0;
      while (c.idx[low] >= basis.idx[low]) ++low;
      if (low == 0) break;
      const std::size_t from = c.transition[low] == -1 ? low : low + 1;
      if (from < d) {
        c.finishSweep(from);
        address = 0;
        above = 0;
        for (std::size_t k = 0; k < d; ++k) {
          address += c.idx[k] * strides[k];
          above += c.idx[k] > basis.idx[k];
        }
        below = 0;
        for (std::size_t k = 0; k < d; ++k) below += c.idx[k] < basis.idx[k];
      }
      continue;
    }
    if (above == 0) continue;

    const auto cell = static_cast<std::size_t>(address);
    judgeBox(basis, c, DSP.cells[cell], DSN.cells[cell], ListPos, ListNeg);
  }
}

void TLAD::judgeBox(const TIndex& basis, const TIndex& c, double p, double n, TPatternList& ListPos,
                    TPatternList& ListNeg) const {
  if (p + n <= 0) return;
  const double h = p / (p + n);
  auto accept = [&](TPatternList& list) {
    auto pattern = std::make_unique<TInterval>(basis, c);
    if (pattern->Absorbed(list)) return;
    simplify(*pattern, list);
    list.add(pattern->toStr(), pattern.get());
    pattern.release();
  };
  if (h > poshom && p / npos > posprev) accept(ListPos);
  if (h < neghom && n / nneg > negprev) accept(ListNeg);
}

void TLAD::simplify(const TInterval& pat, TPatternList& List) {
  std::int32_t i = 0;
  while (i < List.size()) {
    TInterval* v = List.vals[static_cast<std::size_t>(i)];
    if (dominance(pat.a, v->a) >= 0 && dominance(v->b, pat.b) >= 0) {
      delete v;
      List.deleteAt(i);
    } else {
      ++i;
    }
  }
}
