// What the caller of a long build can watch and steer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

struct SelectionCounts;

enum class SearchKernel { Fast, Literal };

struct BuildControl {
  // Subsets searched so far and in all. Called from any thread, one call at a time, a few
  // times a second at most, and once more when the search is complete.
  std::function<void(std::int64_t done, std::int64_t total)> progress;
  // Checked between subsets; once it is true the build stops with "Build cancelled".
  const std::atomic<bool>* cancel = nullptr;
  // Threads that search subsets; 0 uses every core.
  int threads = 0;
  // Processes that share the search (the ranks of an MPI build), each on its own threads.
  int processes = 1;
  // With pattern selection: how many patterns of each side were kept, once the build is done.
  std::function<void(const SelectionCounts&)> selected;
  // The literal walk, for reference checks and benchmarks.
  SearchKernel kernel = SearchKernel::Fast;
  // Wall seconds of the build's steps as each ends ("discretize", "search and merge",
  // "order"), for benchmarks.
  std::function<void(const char* step, double seconds)> stepTimed;

  bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};
