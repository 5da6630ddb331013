#include "MpiRun.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

MpiRun::MpiRun(int& argc, char**& argv) {
  int provided = MPI_THREAD_SINGLE;
  MPI_Init_thread(&argc, &argv, MPI_THREAD_SERIALIZED, &provided);
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
  if (provided < MPI_THREAD_SERIALIZED) {
    if (root()) {
      std::fputs(
          "This MPI library does not take calls from more than one thread; lad-mpi needs "
          "that (MPI_THREAD_SERIALIZED).\n",
          stderr);
    }
    MPI_Finalize();
    std::exit(1);
  }
}

MpiRun::~MpiRun() {
  finalize();
}

void MpiRun::agree(const std::string* failure) {
  // The lowest rank that failed, or size() when none did.
  const int mine = failure != nullptr ? rank_ : size_;
  int first = size_;
  MPI_Allreduce(&mine, &first, 1, MPI_INT, MPI_MIN, MPI_COMM_WORLD);
  if (first == size_) {
    ++agreements_;
    return;
  }
  std::string message = rank_ == first ? *failure : std::string();
  if (first != 0 && rank_ == first) {
    MPI_Send(message.data(), static_cast<int>(std::min<std::size_t>(message.size(), 1 << 20)),
             MPI_CHAR, 0, kFailureTag, MPI_COMM_WORLD);
  } else if (first != 0 && root()) {
    MPI_Status status;
    MPI_Probe(first, kFailureTag, MPI_COMM_WORLD, &status);
    int length = 0;
    MPI_Get_count(&status, MPI_CHAR, &length);
    message.resize(static_cast<std::size_t>(length));
    MPI_Recv(message.data(), length, MPI_CHAR, first, kFailureTag, MPI_COMM_WORLD,
             MPI_STATUS_IGNORE);
  }
  throw RunFailed(message);
}

void MpiRun::broadcast(std::string& text) const {
  std::uint64_t length = text.size();
  MPI_Bcast(&length, 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
  text.resize(length);
  // A message's count is an int: a long text goes in pieces.
  constexpr std::uint64_t kPiece = std::uint64_t{1} << 30;
  for (std::uint64_t at = 0; at < length; at += kPiece) {
    MPI_Bcast(text.data() + at, static_cast<int>(std::min(kPiece, length - at)), MPI_CHAR, 0,
              MPI_COMM_WORLD);
  }
}

void MpiRun::finalize() {
  if (finalized_) return;
  finalized_ = true;
  MPI_Finalize();
}

void MpiRun::abort() const {
  MPI_Abort(MPI_COMM_WORLD, 1);
  std::exit(1);  // MPI_Abort does not return; this keeps the promise of [[noreturn]]
}
