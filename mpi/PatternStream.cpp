#include "PatternStream.h"

#include <algorithm>

#include "LadError.h"
#include "MpiRun.h"
#include "NumberText.h"

namespace {

constexpr std::size_t kInFlight = 16;

}  // namespace

void PatternSender::expect(const SubsetRun& run) {
  const std::lock_guard<std::mutex> lock(calls_);
  runEnds_.push_back(run.first + run.count);
}

void PatternSender::take(std::int64_t index, const SubsetPatterns& found) {
  const auto position = static_cast<std::uint64_t>(index);
  pending_.push_back(static_cast<std::int32_t>(position & 0xffffffffu));
  pending_.push_back(static_cast<std::int32_t>(position >> 32));
  pending_.push_back(found.dims);
  pending_.push_back(static_cast<std::int32_t>(found.count(found.positive)));
  pending_.push_back(static_cast<std::int32_t>(found.count(found.negative)));
  pending_.insert(pending_.end(), found.positive.begin(), found.positive.end());
  pending_.insert(pending_.end(), found.negative.begin(), found.negative.end());

  const std::lock_guard<std::mutex> lock(calls_);
  if (!runEnds_.empty() && index + 1 == runEnds_.front()) {
    runEnds_.pop_front();
    send();
  } else if (pending_.size() >= kChunkInts) {
    send();
  }
  // Lets MPI move the messages under way while the search goes on.
  while (!inFlight_.empty()) {
    int done = 0;
    MPI_Test(&inFlight_.front().second, &done, MPI_STATUS_IGNORE);
    if (done == 0) break;
    inFlight_.pop_front();
  }
}

void PatternSender::send() {
  for (std::size_t at = 0; at < pending_.size(); at += kChunkInts) {
    const std::size_t size = std::min(kChunkInts, pending_.size() - at);
    if (inFlight_.size() >= kInFlight) {
      MPI_Wait(&inFlight_.front().second, MPI_STATUS_IGNORE);
      inFlight_.pop_front();
    }
    const auto from = pending_.begin() + static_cast<std::ptrdiff_t>(at);
    auto& message = inFlight_.emplace_back(
        std::vector<std::int32_t>(from, from + static_cast<std::ptrdiff_t>(size)),
        MPI_REQUEST_NULL);
    MPI_Isend(message.first.data(), static_cast<int>(size), MPI_INT32_T, 0, kPatternsTag,
              MPI_COMM_WORLD, &message.second);
  }
  pending_.clear();
}

void PatternSender::finish() {
  const std::lock_guard<std::mutex> lock(calls_);
  send();
  for (auto& message : inFlight_) MPI_Wait(&message.second, MPI_STATUS_IGNORE);
  inFlight_.clear();
}

std::int32_t PatternReceiver::read(int source, Stream& stream) {
  if (stream.at == stream.size) {
    stream.chunk.resize(kChunkInts);
    MPI_Request request;
    MPI_Irecv(stream.chunk.data(), static_cast<int>(kChunkInts), MPI_INT32_T, source, kPatternsTag,
              MPI_COMM_WORLD, &request);
    MPI_Status status = dealer_.waitFor(request);
    int count = 0;
    MPI_Get_count(&status, MPI_INT32_T, &count);
    if (count <= 0) throw LadError("Rank " + integerText(source) + " sent an empty message");
    stream.size = static_cast<std::size_t>(count);
    stream.at = 0;
  }
  return stream.chunk[stream.at++];
}

void PatternReceiver::read(int source, Stream& stream, std::vector<std::int32_t>& out,
                           std::size_t count) {
  out.clear();
  out.reserve(count);
  while (out.size() < count) {
    if (stream.at == stream.size) out.push_back(read(source, stream));
    const std::size_t take = std::min(count - out.size(), stream.size - stream.at);
    const auto from = stream.chunk.begin() + static_cast<std::ptrdiff_t>(stream.at);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(take));
    stream.at += take;
  }
}

void PatternReceiver::next(int source, std::int64_t index, SubsetPatterns& found) {
  Stream& stream = streams_[source];
  const auto low = static_cast<std::uint32_t>(read(source, stream));
  const auto high = static_cast<std::uint32_t>(read(source, stream));
  const auto position = static_cast<std::int64_t>(std::uint64_t{high} << 32 | low);
  if (position != index) {
    throw LadError("Rank " + integerText(source) + " sent the patterns of subset " +
                   integerText(position) + " where those of subset " + integerText(index) + " were due");
  }
  found.dims = read(source, stream);
  const auto positives = static_cast<std::size_t>(read(source, stream));
  const auto negatives = static_cast<std::size_t>(read(source, stream));
  const std::size_t box = 2 * static_cast<std::size_t>(std::max(found.dims, 0));
  read(source, stream, found.positive, positives * box);
  read(source, stream, found.negative, negatives * box);
}
