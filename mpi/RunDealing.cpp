#include "RunDealing.h"

#include <thread>

#include "MpiRun.h"

RunDealer::RunDealer(std::vector<SubsetRun> runs, int ranks, SearchAside searchAside)
    : runs_(std::move(runs)), others_(ranks - 1), searchAside_(std::move(searchAside)) {
  listen();
}

void RunDealer::listen() {
  if (told_ < others_) {
    MPI_Irecv(&request_, 1, MPI_INT, MPI_ANY_SOURCE, kRequestTag, MPI_COMM_WORLD, &incoming_);
  }
}

bool RunDealer::next(SubsetRun& run) {
  const std::lock_guard<std::mutex> lock(claims_);
  if (cursor_ == runs_.size()) return false;
  if (cursor_ == claimed_) {
    runs_[cursor_].part = 0;
    ++claimed_;
  }
  run = runs_[cursor_++];
  return true;
}

bool RunDealer::claimAside() {
  SubsetRun run;
  {
    const std::lock_guard<std::mutex> lock(claims_);
    if (claimed_ == runs_.size()) return false;
    runs_[claimed_].part = kAside;
    run = runs_[claimed_++];
  }
  searchAside_(run);
  return true;
}

void RunDealer::serve(int rank) {
  std::int64_t number = -1;
  {
    const std::lock_guard<std::mutex> lock(claims_);
    if (claimed_ < runs_.size()) {
      runs_[claimed_].part = rank;
      number = static_cast<std::int64_t>(claimed_++);
    }
  }
  if (number < 0) ++told_;
  MPI_Send(&number, 1, MPI_INT64_T, rank, kRunTag, MPI_COMM_WORLD);
  listen();
}

void RunDealer::answer() {
  while (incoming_ != MPI_REQUEST_NULL) {
    int arrived = 0;
    MPI_Status status;
    MPI_Test(&incoming_, &arrived, &status);
    if (arrived == 0) return;
    serve(status.MPI_SOURCE);
  }
}

MPI_Status RunDealer::waitFor(MPI_Request& request) {
  MPI_Status status;
  // Rather than wait, search a run that nobody has asked for yet.
  for (;;) {
    int arrived = 0;
    MPI_Test(&request, &arrived, &status);
    if (arrived != 0) return status;
    answer();
    if (!searchAside_ || !claimAside()) break;
  }
  while (incoming_ != MPI_REQUEST_NULL) {
    MPI_Request both[2] = {incoming_, request};
    int which = MPI_UNDEFINED;
    MPI_Waitany(2, both, &which, &status);
    incoming_ = both[0];
    request = both[1];
    if (which == 1) return status;
    serve(status.MPI_SOURCE);
  }
  MPI_Wait(&request, &status);
  return status;
}

void RunDealer::finish() {
  while (incoming_ != MPI_REQUEST_NULL) {
    MPI_Status status;
    MPI_Wait(&incoming_, &status);
    serve(status.MPI_SOURCE);
  }
}

RunRequests::RunRequests(const std::vector<SubsetRun>& runs, int rank, std::mutex& calls)
    : runs_(runs), rank_(rank), calls_(calls) {}

void RunRequests::ask() {
  const std::lock_guard<std::mutex> lock(calls_);
  const int request = 1;
  MPI_Send(&request, 1, MPI_INT, 0, kRequestTag, MPI_COMM_WORLD);
  MPI_Irecv(&answer_, 1, MPI_INT64_T, 0, kRunTag, MPI_COMM_WORLD, &reply_);
  asked_ = true;
}

bool RunRequests::next(SubsetRun& run) {
  if (over_) return false;
  if (!asked_) ask();
  for (;;) {
    int arrived = 0;
    {
      // Polled rather than waited for, so that the rank's sender can go on meanwhile.
      const std::lock_guard<std::mutex> lock(calls_);
      MPI_Test(&reply_, &arrived, MPI_STATUS_IGNORE);
    }
    if (arrived != 0) break;
    std::this_thread::yield();
  }
  asked_ = false;
  over_ = answer_ < 0;
  if (over_) return false;
  run = runs_[static_cast<std::size_t>(answer_)];
  run.part = rank_;
  ask();
  return true;
}
