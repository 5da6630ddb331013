// Enumerates every subset of m of n attributes.
#pragma once

#include <cstdint>

#include "MyTypes.h"

class TSubset {
 public:
  arrint map;     // the current subset's attribute numbers, ascending
  arrint subset;  // membership over the n attributes; empty once the enumeration is over

  // Starts at the last m attributes; m above n counts as n. Raises ERangeError for m < 0.
  TSubset(std::int32_t n, std::int32_t m);
  // The following subset in decreasing lexicographic order of map, or the end.
  void next();
  void buildmap();
};
