// The patterns of subsets on their way from the rank that searched them to rank 0.
//
// Each rank's subsets travel as one stream of 32-bit integers, per subset: its position (low
// and high half), the dimensions, the counts of positive and negative boxes, then the boxes
// (lower then upper corner). The stream goes in messages of at most kChunkInts integers, so
// no message ever holds every pattern; MPI keeps the messages of one sender in order.
#pragma once

#include <mpi.h>

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "RunDealing.h"
#include "SubsetRuns.h"
#include "SubsetSearch.h"

constexpr std::size_t kChunkInts = std::size_t{1} << 18;  // 1 MiB

// The sending end on a rank other than 0.
class PatternSender {
 public:
  // MPI is called under `calls`, which the rank's run requests share.
  explicit PatternSender(std::mutex& calls) : calls_(calls) {}
  // The runs come in the order in which their subsets will be taken.
  void expect(const SubsetRun& run);
  // Appends a subset's patterns; sends a full chunk, and what is pending at the end of a run
  // so that rank 0 never waits for a run that is done.
  void take(std::int64_t index, const SubsetPatterns& found);
  // Sends what is pending and waits until every message has gone.
  void finish();

 private:
  void send();

  std::mutex& calls_;
  std::deque<std::int64_t> runEnds_;
  std::vector<std::int32_t> pending_;
  // Messages under way, oldest first: at most kInFlight, then the sender waits for rank 0.
  std::deque<std::pair<std::vector<std::int32_t>, MPI_Request>> inFlight_;
};

// The receiving end on rank 0, which answers requests for runs while it waits.
class PatternReceiver {
 public:
  explicit PatternReceiver(RunDealer& dealer) : dealer_(dealer) {}
  // The patterns of the subset at `index`, the next one that `source` sends.
  void next(int source, std::int64_t index, SubsetPatterns& found);

 private:
  struct Stream {
    std::vector<std::int32_t> chunk;
    std::size_t at = 0;
    std::size_t size = 0;
  };
  std::int32_t read(int source, Stream& stream);
  void read(int source, Stream& stream, std::vector<std::int32_t>& out, std::size_t count);

  RunDealer& dealer_;
  std::map<int, Stream> streams_;
};
