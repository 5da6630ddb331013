// A pattern: per dimension a closed range of bins of one attribute.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ArrayTypes.h"
#include "GridPoint.h"
#include "KeyOrder.h"
#include "KeyedList.h"

// A read-only look at a pattern's three arrays, wherever the pattern is stored.
struct PatternView {
  std::span<const std::int32_t> a;
  std::span<const std::int32_t> b;
  std::span<const std::int32_t> map;
  std::size_t size() const { return map.size(); }
};

// "a:b:map" per dimension, joined by ",".
std::string patternText(PatternView pattern);
// The same, appended to out.
void appendPatternText(PatternView pattern, std::string& out);

// Whether one observation's values lie in the pattern's box: for each condition on attribute
// k, at or above cutpoint a - 1 of k when a > 0, and below cutpoint b of k when there is one.
// The one box test of scoring, rules and explanations.
bool boxHolds(PatternView pattern, const matreal& cutpoints, std::span<const double> values);

class PatternBoxList;

class PatternBox {
 public:
  arrint a;    // lower corner: the lowest bin per dimension
  arrint b;    // upper corner: the highest bin per dimension
  arrint map;  // the attribute number of each dimension

  // The box from corner aa to corner bb, attributes 0 until setAttributes.
  PatternBox(const GridPoint& aa, const GridPoint& bb);
  // A box of n dimensions, all zeros, filled by the model file reader.
  explicit PatternBox(std::int32_t n);

  operator PatternView() const { return {a, b, map}; }

  // Whether a box of the list contains this one (equal boxes included).
  bool containedIn(const PatternBoxList& ListPat) const;
  void setAttributes(const arrint& imap);
  std::string toStr() const { return patternText(*this); }
};

// A working list of patterns keyed by text, which owns its patterns: removing an entry or
// dropping the list destroys them.
class PatternBoxList : public KeyedList<std::string, std::unique_ptr<PatternBox>, KeyLess> {};

// -1 when p[j] > q[j] somewhere, else 1 when p[j] < q[j] somewhere, else 0.
std::int32_t dominance(const arrint& p, const arrint& q);
