// A pattern: per dimension a closed range of bins of one attribute.
#pragma once

#include <cstdint>
#include <string>

#include "MyLists.h"
#include "MyTypes.h"
#include "TIndex.h"

class TInterval {
 public:
  arrint a;    // lower corner: the lowest bin per dimension
  arrint b;    // upper corner: the highest bin per dimension
  arrint map;  // the attribute number of each dimension

  // The box from corner aa to corner bb, attributes 0 until updatemap.
  TInterval(const TIndex& aa, const TIndex& bb);
  // A box of n dimensions, all zeros, filled by the model file reader.
  explicit TInterval(std::int32_t n);

  // Whether a box of the list contains this one (equal boxes included).
  bool Absorbed(const TSOListT<TInterval>& ListPat) const;
  void updatemap(const arrint& imap);
  // "a:b:map" per dimension, joined by ",".
  std::string toStr() const;
};

using TPatternList = TSOListT<TInterval>;

// Whether a box of the list contains the box from a to b (equal boxes included).
bool boxAbsorbed(const arrint& a, const arrint& b, const TSOListT<TInterval>& ListPat);

// -1 when p[j] > q[j] somewhere, else 1 when p[j] < q[j] somewhere, else 0.
std::int32_t dominance(const arrint& p, const arrint& q);

// A pattern list that destroys the patterns it still holds when it goes away. Whoever moves
// a pattern elsewhere drops the entry first (Clear, deleteAt).
class OwningPatternList : public TPatternList {
 public:
  OwningPatternList() = default;
  OwningPatternList(const OwningPatternList&) = delete;
  OwningPatternList& operator=(const OwningPatternList&) = delete;
  ~OwningPatternList() { destroyAll(); }
  void destroyAll() {
    for (TInterval* pattern : vals) delete pattern;
    Clear();
  }
};
