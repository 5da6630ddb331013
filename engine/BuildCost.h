// What a build will take, estimated from the table's size and bins before the search starts,
// so that a build that cannot fit in memory or end in reasonable time is refused at once.
#pragma once

#include <cstdint>
#include <string>

#include "ArrayTypes.h"

struct BuildCost {
  std::uint64_t buildBytes = 0;   // per build: bins, observation lists, acceptance tables
  std::uint64_t threadBytes = 0;  // per search thread: the largest subset's grids
  std::uint64_t largestCells = 0;
  double boxes = 0;  // boxes the search judges at most, over every subset
};

// The cost of a build over `rows` observations whose attributes have these bin counts, at
// `degree`. A box is judged for each pair of cells of a subset's grid, one at or above the
// other in every coordinate: prod n (n + 1) / 2 over the subset's bin counts n, summed over the
// subsets. The search skips part of them; none is counted twice.
BuildCost estimateBuildCost(std::size_t rows, const arrint& sizes, std::int32_t degree);

// The most bins each attribute of `data` can have at this grid size, on any part of its rows:
// the grid size, or its distinct values when they are fewer.
arrint largestBinCounts(const matreal& data, std::int32_t gridSize);

// The search's speed, in judged boxes per second and thread, measured on the development
// machine: 1.1e9 at degree 1 over 10^5 bins, 5.3e8 at degree 2 over 200 bins.
constexpr double kBoxesPerSecond = 5e8;
// Past this estimate a build is refused. The estimate counts every box that the search could
// judge; pruning skips many when patterns are rare (a 2,000-attribute degree-3 search estimated
// at 17 hours took 2.4), so only a run that would still take days is refused.
constexpr double kLongestSearchSeconds = 7 * 86400;

// What a run of builds asks: `builds` builds of this cost, `atOnce` of them at a time, each on
// `threadsEach` threads, plus `extraBytes` held for their results.
struct BuildRun {
  BuildCost cost;
  int threadsEach = 1;
  int atOnce = 1;
  std::int64_t builds = 1;
  std::uint64_t extraBytes = 0;
  int processes = 1;  // machines that share the search, each with its own memory
};

// Refuses a run that could not fit in `available` bytes of memory (0: unknown) or would take
// hours, saying how much and what to lower: `what` names the work in the message ("The
// build"), `advice` what to lower ("the Grid Size or the Degree").
void requireAffordable(const std::string& what, const BuildRun& run, std::uint64_t available,
                       const std::string& advice);
// The same with the memory this process can have now.
void requireAffordable(const std::string& what, const BuildRun& run, const std::string& advice);

// A count for messages: the plain number below a million, "5.0e11" from there.
std::string countText(double count);

// A time for messages: "40 seconds", "12 minutes", "3.5 hours", "9 days".
std::string durationText(double seconds);
