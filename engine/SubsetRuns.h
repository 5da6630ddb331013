// The order in which a build takes the subsets of m of n attributes (the decreasing
// lexicographic order of their attribute numbers: {2,3}, {1,3}, {1,2}, {0,3}, ... for 2 of 4),
// positions in it, and runs of subsets of about equal cost, so that a build can be shared out
// and merged back in order.
#pragma once

#include <cstdint>
#include <vector>

#include "ArrayTypes.h"

// The number of subsets of m of n attributes (m above n counts as n), or the largest int64_t
// when it is larger.
std::int64_t subsetCount(std::int32_t n, std::int32_t m);

// The attribute numbers of the subset at position `index` (0-based) of the subset order of m
// of n attributes (m above n counts as n). Raises ERangeError for an index outside
// 0 .. subsetCount(n, m) - 1 and for m below 0.
arrint subsetAt(std::int32_t n, std::int32_t m, std::int64_t index);

// Steps map to the following subset of that order in O(m); false past the last one.
bool nextSubset(std::int32_t n, arrint& map);

// A run of consecutive subsets, positions [first, first + count), and the part (process)
// that searches it.
struct SubsetRun {
  std::int64_t first = 0;
  std::int64_t count = 0;
  int part = 0;
};

// Cuts the subsets of `degree` of the attributes with these bin counts into `runs` runs (fewer
// when there are fewer subsets) of about equal estimated cost, in ascending order, covering
// every subset once, all of part 0. A subset's cost is estimated as the cells of its grid plus
// the observations that the search places in it. Raises LadError when the subsets are too
// many to count.
std::vector<SubsetRun> cutSubsetRuns(const arrint& sizes, std::size_t observations,
                                     std::int32_t degree, std::int64_t runs);
