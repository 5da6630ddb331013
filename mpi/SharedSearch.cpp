#include "SharedSearch.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "PatternStream.h"
#include "RunDealing.h"
#include "SearchData.h"
#include "SubsetSweep.h"

namespace {

// Rank 0's runs, the same on every rank.
std::vector<SubsetRun> cutRuns(const MpiRun& run, const SearchData& data, std::int32_t degree) {
  std::vector<std::int64_t> flat;
  if (run.root()) {
    const std::int64_t wanted = std::int64_t{run.size()} * kRunsPerRank;
    for (const SubsetRun& cut : cutSubsetRuns(data.sizes, data.rows(), degree, wanted)) {
      flat.insert(flat.end(), {cut.first, cut.count});
    }
  }
  std::uint64_t size = flat.size();
  MPI_Bcast(&size, 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
  flat.resize(size);
  MPI_Bcast(flat.data(), static_cast<int>(size), MPI_INT64_T, 0, MPI_COMM_WORLD);
  std::vector<SubsetRun> runs;
  for (std::size_t i = 0; i + 1 < flat.size(); i += 2) runs.push_back({flat[i], flat[i + 1], 0});
  return runs;
}

}  // namespace

PatternSource sharedSearch(MpiRun& run, const BuildControl& control, double& seconds) {
  return [&run, &control, &seconds](const SearchData& data, std::int32_t attributes,
                                    std::int32_t degree, const TakeSubset& take) {
    run.agree(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const auto stop = [&] {
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const std::vector<SubsetRun> runs = cutRuns(run, data, degree);
    if (run.root()) {
      // Runs searched aside, by their first position, until the merge comes to them.
      std::map<std::int64_t, std::vector<SubsetPatterns>> aside;
      SearchScratch scratch;
      std::function<void()> answer;
      RunDealer dealer(runs, run.size(), [&](const SubsetRun& claimed) {
        std::vector<SubsetPatterns>& found = aside[claimed.first];
        found.resize(static_cast<std::size_t>(claimed.count));
        arrint map = subsetAt(attributes, degree, claimed.first);
        for (SubsetPatterns& patterns : found) {
          searchSubset(data, map, scratch, patterns);
          nextSubset(attributes, map);
          answer();
        }
      });
      answer = [&] { dealer.answer(); };
      PatternReceiver receiver(dealer);
      sweepSubsetRuns(
          data, attributes, degree, control, subsetCount(attributes, degree), 0,
          [&](SubsetRun& next) { return dealer.next(next); },
          [&](const SubsetRun& from, std::int64_t first, std::vector<SubsetPatterns>& found) {
            if (from.part == RunDealer::kAside) {
              auto& searched = aside.at(from.first);
              for (std::size_t i = 0; i < found.size(); ++i) {
                found[i] = std::move(searched[static_cast<std::size_t>(first - from.first) + i]);
              }
              if (first + std::ssize(found) == from.first + from.count) aside.erase(from.first);
              return;
            }
            for (std::size_t i = 0; i < found.size(); ++i) {
              receiver.next(from.part, first + static_cast<std::int64_t>(i), found[i]);
            }
          },
          [&](std::int64_t, const arrint& map, const SubsetPatterns& found) {
            take(map, found);
            dealer.answer();
          });
      stop();
      dealer.finish();
      return;
    }
    std::mutex calls;
    RunRequests requests(runs, run.rank(), calls);
    PatternSender sender(calls);
    BuildControl quiet = control;
    quiet.progress = nullptr;
    sweepSubsetRuns(
        data, attributes, degree, quiet, 0, run.rank(),
        [&](SubsetRun& next) {
          if (!requests.next(next)) return false;
          sender.expect(next);
          return true;
        },
        nullptr,
        [&](std::int64_t index, const arrint&, const SubsetPatterns& found) {
          sender.take(index, found);
        });
    sender.finish();
    stop();
  };
}
