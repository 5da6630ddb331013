// This process's part in an MPI run: its rank, the points where all ranks agree that a build
// may go on, and the ways it ends.
#pragma once

#include <mpi.h>

#include <stdexcept>
#include <string>

// Raised on every rank when a rank failed before a point of agreement. On rank 0 it carries
// the message of the lowest rank that failed, for rank 0 to print once.
// The kinds of message between the ranks.
enum MessageTag : int {
  kPatternsTag = 1,  // a chunk of a rank's patterns, to rank 0
  kFailureTag,       // the message of a rank that failed, to rank 0
  kRequestTag,       // a rank asks rank 0 for a run to search
  kRunTag,           // rank 0's answer: the run's number, or -1 when none is left
};

class RunFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MpiRun {
 public:
  // Starts MPI with calls from one thread at a time (the search's threads take turns to send
  // and receive). A communication failure ends every rank: MPI's default error handler.
  MpiRun(int& argc, char**& argv);
  ~MpiRun();
  MpiRun(const MpiRun&) = delete;
  MpiRun& operator=(const MpiRun&) = delete;

  int rank() const { return rank_; }
  int size() const { return size_; }
  bool root() const { return rank_ == 0; }

  // Every rank calls it at the same point, with the message of its failure or null. When
  // any rank failed, raises RunFailed on every rank; otherwise counts the point as passed.
  void agree(const std::string* failure);
  int agreementsPassed() const { return agreements_; }

  // Gives every rank rank 0's text.
  void broadcast(std::string& text) const;

  // Ends MPI once every rank has called it; after that this process works alone.
  void finalize();
  bool finalized() const { return finalized_; }

  // Ends every rank at once, exit code 1: for a failure while the ranks work apart.
  [[noreturn]] void abort() const;

 private:
  int rank_ = 0;
  int size_ = 1;
  int agreements_ = 0;
  bool finalized_ = false;
};
