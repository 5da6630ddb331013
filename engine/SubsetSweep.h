// The search of every attribute subset of a build, spread over threads.
#pragma once

#include <cstdint>
#include <functional>

#include "ArrayTypes.h"
#include "BuildControl.h"
#include "SubsetRuns.h"
#include "SubsetSearch.h"

// The threads a build uses when it is not told.
int defaultThreadCount();

// Runs work on `threads` threads (0, or more than there are cores: every core); parallel loops
// inside it use no more.
void runWithThreads(int threads, const std::function<void()>& work);

// Searches every subset of `degree` of `attributes` attributes and hands each subset's
// patterns to `take`, in the subset order of SubsetRuns.h, one call at a
// time. The subsets are searched in parallel on the threads of the caller's runWithThreads, and
// the result does not depend on their number. Raises LadError "Build cancelled" when the control's
// cancel flag is set.
void searchEverySubset(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const BuildControl& control,
                       const std::function<void(const arrint& map, const SubsetPatterns&)>& take);

// Hands out the runs of a sweep in ascending order: fills run and returns true, or returns
// false past the last one. Called by one thread at a time, ahead of the search.
using NextRun = std::function<bool(SubsetRun& run)>;
// Patterns of subsets searched elsewhere: fills found[i] with those of the subset at position
// first + i, which lies in `run`, for every i below found.size().
using FetchPatterns = std::function<void(const SubsetRun& run, std::int64_t first,
                                         std::vector<SubsetPatterns>& found)>;
// One subset's patterns, with its position in the subset order and its attribute numbers.
using TakePatterns =
    std::function<void(std::int64_t index, const arrint& map, const SubsetPatterns&)>;

// The same over the runs that `next` hands out: those of part `here` are searched on the
// threads of the caller's runWithThreads, those of other parts come from fetch (called in
// order, one call at a time; it may wait), and every subset goes to take in order, one call at
// a time, on the same thread as fetch. The control's progress counts up to `total`. When
// given, prepare has each subset searched here on its searching thread, before take.
void sweepSubsetRuns(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                     const BuildControl& control, std::int64_t total, int here, const NextRun& next,
                     const FetchPatterns& fetch, const TakePatterns& take,
                     const TakePatterns& prepare = nullptr);

// The same, with each subset's patterns also handed to prepare on the thread that searched
// them, as soon as they are found and before take has them: the work on a subset's patterns
// that does not depend on the other subsets' is shared out over the threads that way.
void searchEverySubset(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const BuildControl& control, const TakePatterns& prepare,
                       const TakePatterns& take);

// Hands out these runs, in their order.
NextRun runsInOrder(const std::vector<SubsetRun>& runs);
