// The search of one attribute subset's grid for its maximal positive and negative boxes.
//
// A pure function of the shared training data and the subset: any number of searches may run
// at once, each with its own scratch.
#pragma once

#include <cstdint>
#include <vector>

#include "ArrayTypes.h"
#include "SearchData.h"

// The boxes found in one subset, in the order in which the anchored Gray walk of the model
// finds them. Box i of a side is its lower corner then its upper corner, d bins each, at
// [2 d i, 2 d (i + 1)) of the side's array; dimension j stands for attribute map[j].
struct SubsetPatterns {
  std::int32_t dims = 0;
  std::vector<std::int32_t> positive;
  std::vector<std::int32_t> negative;

  std::size_t count(const std::vector<std::int32_t>& side) const {
    return dims == 0 ? 0 : side.size() / (2 * static_cast<std::size_t>(dims));
  }
  void clear(std::int32_t d) {
    dims = d;
    positive.clear();
    negative.clear();
  }
};

// What one search keeps between calls so that it allocates nothing per box.
struct SearchScratch {
  std::vector<std::uint64_t> grid;      // cumulated packed counts
  std::vector<std::uint32_t> rank;      // each cell's position in the reflected Gray walk
  std::vector<std::int32_t> rankShape;  // the grid that rank belongs to
  std::vector<std::int64_t> address;    // per observation, its cell
  std::vector<std::int32_t> found[2];   // maximal boxes so far, lower then upper corner
  std::vector<std::uint64_t> when[2];   // per found box: anchor rank << 32 | cell rank
  // The found boxes' corners a byte per coordinate, on grids of at most 128 bins each.
  std::vector<std::uint64_t> packedLower[2];
  std::vector<std::uint64_t> packedUpper[2];
  std::vector<std::uint32_t> order;
  std::vector<std::uint64_t> verdicts[2];  // the dense search's accepted boxes, per side
  std::vector<std::uint64_t> held;         // and those inside an accepted box
};

// Whether the fast search takes grids of these sizes (up to 6 coordinates of two or more bins);
// larger ones fall back to the literal walk.
bool fastSearchHandles(const arrint& dims);

// The bytes of scratch that searching a grid of these sizes takes per cell.
std::uint64_t searchBytesPerCell(const arrint& dims);

// Fills out with the patterns of the subset `map` (ascending attribute numbers): the boxes
// from an anchor cell to a later cell of the reflected Gray walk that lies at or above it in
// every coordinate, accepted by the rule, and inside no other such accepted box.
void searchSubset(const SearchData& data, const arrint& map, SearchScratch& scratch,
                  SubsetPatterns& out);

// The same result by the anchored-count walk written plainly: count grids re-anchored along
// the Gray walk, every later cell judged, and the working lists kept by absorption and
// simplification. The reference that the fast search is checked and timed against.
void literalSearchSubset(const SearchData& data, const arrint& map, SubsetPatterns& out);
