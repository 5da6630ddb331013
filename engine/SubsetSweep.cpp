#include "SubsetSweep.h"

#include <tbb/enumerable_thread_specific.h>
#include <tbb/info.h>
#include <tbb/parallel_pipeline.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <vector>

#include "CellCounters.h"
#include "LadError.h"

namespace {

// Consecutive subsets of one run from position `first`, searched by one task or, when the run
// is another part's, fetched from elsewhere.
struct Batch {
  SubsetRun run;
  std::int64_t first = 0;
  std::vector<arrint> maps;
  std::vector<SubsetPatterns> found;
};

// Subsets per batch: enough work per task to make scheduling cheap, few enough that progress
// and cancellation stay prompt. The cost of a subset grows with its grid's cells.
std::size_t batchSize(const SearchData& data, std::int32_t degree) {
  arrint largest(data.sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(std::min(largest.size(), static_cast<std::size_t>(std::max(degree, 0))));
  const std::int64_t cells = std::max<std::int64_t>(gridCellCount(largest), 1);
  return static_cast<std::size_t>(std::clamp<std::int64_t>(16384 / cells, 1, 256));
}

using Clock = std::chrono::steady_clock;

}  // namespace

int defaultThreadCount() {
  return tbb::info::default_concurrency();
}

void runWithThreads(int threads, const std::function<void()>& work) {
  // More threads than cores would not run anyway: the thread library only warns about them.
  const int cores = defaultThreadCount();
  tbb::task_arena arena(threads > 0 ? std::min(threads, cores) : cores);
  arena.execute(work);
}

void searchEverySubset(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const BuildControl& control,
                       const std::function<void(const arrint& map, const SubsetPatterns&)>& take) {
  const std::int64_t total = subsetCount(attributes, degree);
  const std::vector<SubsetRun> every{{0, total, 0}};
  sweepSubsetRuns(
      data, attributes, degree, control, total, 0, runsInOrder(every), nullptr,
      [&](std::int64_t, const arrint& map, const SubsetPatterns& found) { take(map, found); });
}

void searchEverySubset(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const BuildControl& control, const TakePatterns& prepare,
                       const TakePatterns& take) {
  const std::int64_t total = subsetCount(attributes, degree);
  const std::vector<SubsetRun> every{{0, total, 0}};
  sweepSubsetRuns(data, attributes, degree, control, total, 0, runsInOrder(every), nullptr, take,
                  prepare);
}

NextRun runsInOrder(const std::vector<SubsetRun>& runs) {
  return [&runs, at = std::size_t{0}](SubsetRun& run) mutable {
    if (at == runs.size()) return false;
    run = runs[at++];
    return true;
  };
}

void sweepSubsetRuns(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                     const BuildControl& control, std::int64_t total, int here, const NextRun& next,
                     const FetchPatterns& fetch, const TakePatterns& take,
                     const TakePatterns& prepare) {
  std::int64_t done = 0;
  if (control.progress) control.progress(0, total);

  const int threads = tbb::this_task_arena::max_concurrency();
  const std::size_t perBatch = batchSize(data, degree);
  tbb::enumerable_thread_specific<SearchScratch> scratch;
  Clock::time_point lastReport = Clock::now();

  // The input walks the runs: `current` is the run under way and `at` the position of its
  // next subset, whose attribute numbers `map` holds once `mapAt` says so (a run that does
  // not follow on is looked up).
  SubsetRun current;
  std::int64_t at = 0;
  bool more = true;
  arrint map;
  std::int64_t mapAt = -1;

  tbb::parallel_pipeline(
      static_cast<std::size_t>(threads) * 4,
      tbb::make_filter<void, std::shared_ptr<Batch>>(
          tbb::filter_mode::serial_in_order,
          [&](tbb::flow_control& flow) -> std::shared_ptr<Batch> {
            while (more && at == current.first + current.count && !control.cancelled()) {
              more = next(current);
              at = current.first;
            }
            if (!more || control.cancelled()) {
              flow.stop();
              return nullptr;
            }
            auto batch = std::make_shared<Batch>();
            batch->run = current;
            batch->first = at;
            const auto size = static_cast<std::size_t>(std::min<std::int64_t>(
                current.first + current.count - at, static_cast<std::int64_t>(perBatch)));
            if (mapAt != at) map = subsetAt(attributes, degree, at);
            for (std::size_t i = 0; i < size; ++i) {
              batch->maps.push_back(map);
              nextSubset(attributes, map);
            }
            at += static_cast<std::int64_t>(size);
            mapAt = at;
            return batch;
          }) &
          tbb::make_filter<std::shared_ptr<Batch>, std::shared_ptr<Batch>>(
              tbb::filter_mode::parallel,
              [&](std::shared_ptr<Batch> batch) {
                batch->found.resize(batch->maps.size());
                if (batch->run.part != here) return batch;
                SearchScratch& mine = scratch.local();
                for (std::size_t i = 0; i < batch->maps.size() && !control.cancelled(); ++i) {
                  if (control.kernel == SearchKernel::Literal) {
                    literalSearchSubset(data, batch->maps[i], batch->found[i]);
                  } else {
                    searchSubset(data, batch->maps[i], mine, batch->found[i]);
                  }
                  if (prepare) {
                    prepare(batch->first + static_cast<std::int64_t>(i), batch->maps[i],
                            batch->found[i]);
                  }
                }
                return batch;
              }) &
          tbb::make_filter<std::shared_ptr<Batch>, void>(
              tbb::filter_mode::serial_in_order, [&](std::shared_ptr<Batch> batch) {
                if (control.cancelled()) return;
                if (batch->run.part != here) fetch(batch->run, batch->first, batch->found);
                for (std::size_t i = 0; i < batch->maps.size(); ++i) {
                  take(batch->first + static_cast<std::int64_t>(i), batch->maps[i],
                       batch->found[i]);
                }
                done += static_cast<std::int64_t>(batch->maps.size());
                const Clock::time_point now = Clock::now();
                if (control.progress && now - lastReport >= std::chrono::milliseconds(100)) {
                  lastReport = now;
                  control.progress(done, total);
                }
              }));
  if (control.cancelled()) throw LadError("Build cancelled");
  if (control.progress) control.progress(done, total);
}
