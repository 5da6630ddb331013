// The grid of one attribute subset as the fast search sees it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The fast search handles grids of up to this many coordinates of two or more bins; larger
// ones fall back to the literal walk.
constexpr int kMaxFastDims = 6;
// Grids of up to this many bins in every coordinate hold a box's corner in one word, a byte per
// coordinate (see SubsetSearch.cpp).
constexpr std::int32_t kMaxPackedBins = 128;

// The subset's grid without its single-bin coordinates, which every box spans whole, which
// the walk never moves and which take no part in any Gray rank.
struct SubsetGrid {
  int d = 0;
  std::array<std::int32_t, kMaxFastDims> dims{};
  std::array<std::int64_t, kMaxFastDims> stride{};
  std::array<std::size_t, kMaxFastDims> column{};    // position of the coordinate in map
  std::array<std::int32_t, kMaxFastDims> missing{};  // the bin of missing values, or -1
  bool anyMissing = false;
  bool packed = true;  // every coordinate has at most kMaxPackedBins bins
  std::int64_t cells = 1;
};
