// Runs of subsets handed out on demand: each rank other than 0 asks rank 0 for its next run
// while it searches the current one, and rank 0 searches the runs that nobody has asked for
// when it comes to them, or while it would otherwise wait for another rank's patterns. So a
// rank that is slower, or busy merging (rank 0), takes fewer runs, and the ranks finish
// together whatever each subset costs.
#pragma once

#include <mpi.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "SubsetRuns.h"

// Rank 0's side. next() is called by the search's input, everything else by its merge.
class RunDealer {
 public:
  // The part of a run that rank 0 searched aside, while waiting.
  static constexpr int kAside = -1;
  // Searches a run at once, on the merge's thread, keeping its patterns until they are due.
  using SearchAside = std::function<void(const SubsetRun& run)>;

  RunDealer(std::vector<SubsetRun> runs, int ranks, SearchAside searchAside);
  // The next run in order with the rank that searches it: its asker, 0 when nobody asked, or
  // kAside.
  bool next(SubsetRun& run);
  // Answers the requests that have come in.
  void answer();
  // Waits for request to complete while answering requests and searching runs aside;
  // returns its status.
  MPI_Status waitFor(MPI_Request& request);
  // Answers until every other rank has heard that no run is left.
  void finish();

 private:
  void listen();
  void serve(int rank);
  // Claims the next run nobody has and searches it aside; false when none is left.
  bool claimAside();

  std::vector<SubsetRun> runs_;
  std::mutex claims_;
  std::size_t claimed_ = 0;  // runs [0, claimed_) have a rank
  std::size_t cursor_ = 0;   // the next run for next()
  int others_ = 0;
  int told_ = 0;  // ranks that heard that no run is left
  MPI_Request incoming_ = MPI_REQUEST_NULL;
  int request_ = 0;
  SearchAside searchAside_;
};

// The side of any other rank: next() asks ahead, so the next run is known before it is due.
class RunRequests {
 public:
  // MPI is called under `calls`, which the rank's sender shares.
  RunRequests(const std::vector<SubsetRun>& runs, int rank, std::mutex& calls);
  // The next run for this rank to search, or false when none is left.
  bool next(SubsetRun& run);

 private:
  void ask();

  const std::vector<SubsetRun>& runs_;
  int rank_;
  std::mutex& calls_;
  bool asked_ = false;
  bool over_ = false;
  MPI_Request reply_ = MPI_REQUEST_NULL;
  std::int64_t answer_ = -1;
};
