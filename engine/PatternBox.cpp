#include "PatternBox.h"

#include "NumberText.h"

PatternBox::PatternBox(const GridPoint& aa, const GridPoint& bb)
    : a(aa.idx), b(bb.idx), map(bb.idx.size(), 0) {}

PatternBox::PatternBox(std::int32_t n)
    : a(static_cast<std::size_t>(n), 0),
      b(static_cast<std::size_t>(n), 0),
      map(static_cast<std::size_t>(n), 0) {}

std::int32_t dominance(const arrint& p, const arrint& q) {
  bool smaller = false;
  for (std::size_t j = 0; j < p.size(); ++j) {
    if (p[j] > q[j]) return -1;
    if (p[j] < q[j]) smaller = true;
  }
  return smaller ? 1 : 0;
}

bool PatternBox::containedIn(const PatternBoxList& ListPat) const {
  for (const auto& v : ListPat.vals) {
    if (dominance(v->a, a) >= 0 && dominance(b, v->b) >= 0) return true;
  }
  return false;
}

void PatternBox::setAttributes(const arrint& imap) {
  for (std::size_t j = 0; j < imap.size() && j < map.size(); ++j) map[j] = imap[j];
}

std::string patternText(PatternView pattern) {
  std::string out;
  appendPatternText(pattern, out);
  return out;
}

void appendPatternText(PatternView pattern, std::string& out) {
  for (std::size_t j = 0; j < pattern.size(); ++j) {
    if (j > 0) out += ',';
    appendInteger(pattern.a[j], out);
    out += ':';
    appendInteger(pattern.b[j], out);
    out += ':';
    appendInteger(pattern.map[j], out);
  }
}

bool boxHolds(PatternView pattern, const matreal& cutpoints, std::span<const double> values) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto k = static_cast<std::size_t>(pattern.map[i]);
    const arrreal& c = cutpoints[k];
    const double v = values[k];
    const std::int32_t a = pattern.a[i];
    const std::int32_t b = pattern.b[i];
    if (a > 0 && !(v >= c[static_cast<std::size_t>(a - 1)])) return false;
    if (b < static_cast<std::int32_t>(c.size()) && !(v < c[static_cast<std::size_t>(b)])) {
      return false;
    }
  }
  return true;
}
