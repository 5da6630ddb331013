// The whole build: discretize, search every attribute subset, gather the patterns.
#include "ModelBuilding.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "BuildCost.h"
#include "CellCounters.h"
#include "Description.h"
#include "LadError.h"
#include "NumberText.h"
#include "PatternSelection.h"
#include "PatternSetBuilder.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "SystemMemory.h"

namespace {

// The literal walk costs about the square of its grid's cells per subset: past this many
// cells a subset would take hours.
constexpr std::uint64_t kLargestLiteralGrid = 1u << 16;

// The largest grid that a subset of `degree` attributes spans must be addressable, and the
// build, with the search's grids for it on every thread, must fit in the memory available and
// end in reasonable time.
void checkGridSize(std::size_t rows, const arrint& sizes, std::int32_t degree, int threads,
                   int processes) {
  arrint largest(sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(std::min(largest.size(), static_cast<std::size_t>(degree)));
  requireAddressableGrid(largest);
  const auto cells = static_cast<std::uint64_t>(gridCellCount(largest));
  if (!fastSearchHandles(largest) && cells > kLargestLiteralGrid) {
    throw LadError("A subset of " + integerText(degree) + " attributes spans a grid of " +
                   integerText(static_cast<std::int64_t>(cells)) +
                   " cells, too many to search in any reasonable time; lower the Grid Size or "
                   "the Degree");
  }
  BuildRun run;
  run.cost = estimateBuildCost(rows, sizes, degree);
  run.threadsEach = threads;
  run.processes = processes;
  requireAffordable("The build", run, "the Grid Size or the Degree");
}

// Stops a build whose patterns outgrow the memory that was available when it started.
class PatternMemoryGuard {
 public:
  explicit PatternMemoryGuard(std::size_t rows)
      : limit_(availableMemoryBytes() / 10 * 8), rows_(rows) {}
  // The patterns themselves, and the bits of which observation each covers, which writing
  // NAME.PAT takes.
  void check(const PatternSet& positive, const PatternSet& negative) const {
    const std::uint64_t patterns =
        static_cast<std::uint64_t>(positive.size()) + static_cast<std::uint64_t>(negative.size());
    const std::uint64_t held = positive.bytes() + negative.bytes() + patterns / 8 * rows_;
    if (limit_ > 0 && held > limit_) {
      throw LadError(
          "The patterns found so far and the record of which observations they "
          "cover take " +
          byteSize(held) +
          ", more than the memory available for them; raise the homogeneity or "
          "prevalence thresholds, or lower the Degree or the Grid Size");
    }
  }

 private:
  std::uint64_t limit_;
  std::uint64_t rows_;
};

// Both sides of each subset as prepared on its searching thread, kept until the in-order take
// reaches them: no more than the subsets that the search has ahead of the take.
class PreparedSubsets {
 public:
  using Both = std::array<PatternSetBuilder::Prepared, 2>;

  void put(std::int64_t index, std::unique_ptr<Both> both) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ready_.emplace(index, std::move(both));
  }
  // Those of the subset at index, or null when it was not prepared.
  std::unique_ptr<Both> take(std::int64_t index) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = ready_.find(index);
    if (found == ready_.end()) return nullptr;
    std::unique_ptr<Both> both = std::move(found->second);
    ready_.erase(found);
    return both;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::int64_t, std::unique_ptr<Both>> ready_;
};

// Reports the wall time of each step of a build to the control's stepTimed.
class StepClock {
 public:
  explicit StepClock(const BuildControl& control) : control_(control) {}
  void lap(const char* step) const {
    const auto now = std::chrono::steady_clock::now();
    if (control_.stepTimed) {
      control_.stepTimed(step, std::chrono::duration<double>(now - last_).count());
    }
    last_ = now;
  }

 private:
  const BuildControl& control_;
  mutable std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// A pattern source that may also hand each subset's patterns, with its position in the
// subset order, to prepare on the thread that found them.
using PreparingSource =
    std::function<void(const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const TakePatterns& prepare, const TakeSubset& take)>;

Model buildFrom(const TrainingTable& table, const LearningParameters& parameters,
                const BuildControl& control, const PreparingSource& source);

}  // namespace

Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control) {
  return buildFrom(table, parameters, control,
                   [&](const SearchData& data, std::int32_t attributes, std::int32_t degree,
                       const TakePatterns& prepare, const TakeSubset& take) {
                     searchEverySubset(data, attributes, degree, control, prepare,
                                       [&](std::int64_t, const arrint& map,
                                           const SubsetPatterns& found) { take(map, found); });
                   });
}

Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control, const PatternSource& source) {
  return buildFrom(
      table, parameters, control,
      [&](const SearchData& data, std::int32_t attributes, std::int32_t degree, const TakePatterns&,
          const TakeSubset& take) { source(data, attributes, degree, take); });
}

namespace {

Model buildFrom(const TrainingTable& table, const LearningParameters& parameters,
                const BuildControl& control, const PreparingSource& source) {
  const StepClock clock(control);
  const std::int32_t degree = parameters.degree;
  if (degree < 1) throw LadError("Degree must be at least 1 (it is " + integerText(degree) + ")");
  const std::size_t columns = table.columns();
  CutpointGrid grid =
      parameters.discretization == Discretization::ClassAware
          ? CutpointGrid::classAware(table.values(), table.classes(), columns, parameters.gridSize)
          : CutpointGrid::equalFrequency(table.values(), columns, parameters.gridSize);
  std::vector<std::string> names = attributeNames(table.attributeLine());
  if (names.size() < columns) {
    throw LadError("The header names " + integerText(static_cast<std::int64_t>(names.size())) +
                   " attribute(s) (" + table.attributeLine() + ") for " +
                   integerText(static_cast<std::int64_t>(columns)) +
                   " attribute columns; an attribute name must not begin with \"Class\"");
  }
  const arrint sizes = grid.binCounts();
  // The search runs on no more threads than there are cores, whatever it is told.
  const int threads =
      control.threads > 0 ? std::min(control.threads, defaultThreadCount()) : defaultThreadCount();
  checkGridSize(table.rows(), sizes, degree, threads, control.processes);

  // Class-aware cut points leave an attribute whose classes do not change with its values a
  // single bin, where it can constrain nothing: the search leaves it out. Equal-frequency
  // bins search every attribute, as they always have.
  std::vector<std::size_t> searched;
  for (std::size_t k = 0; k < columns; ++k) {
    if (parameters.discretization == Discretization::EqualFrequency || grid.binCount(k) > 1) {
      searched.push_back(k);
    }
  }
  PatternSet positive;
  PatternSet negative;
  const SearchData data(table, grid, parameters, searched);
  const CutpointTexts texts(grid.cutpoints(), table.format());
  PatternSetBuilder positives(texts, names.size(), positive);
  PatternSetBuilder negatives(texts, names.size(), negative);
  const PatternMemoryGuard memory(table.rows());
  // The attribute numbers of a subset's positions among the searched attributes.
  auto attributesOf = [&](const arrint& map, arrint& attributes) {
    attributes.resize(map.size());
    for (std::size_t i = 0; i < map.size(); ++i) {
      attributes[i] = static_cast<std::int32_t>(searched[static_cast<std::size_t>(map[i])]);
    }
  };
  PreparedSubsets prepared;
  clock.lap("discretize");
  runWithThreads(control.threads, [&] {
    arrint attributes;
    std::int64_t index = 0;  // of the subset that take has next, in the subset order
    // A table of which no attribute can be searched has no subsets, and no patterns.
    if (!searched.empty())
      source(
          data, static_cast<std::int32_t>(searched.size()), degree,
          [&](std::int64_t at, const arrint& map, const SubsetPatterns& found) {
            arrint mine;
            attributesOf(map, mine);
            auto both = std::make_unique<PreparedSubsets::Both>();
            positives.prepare(found.positive, found.dims, mine, (*both)[0]);
            negatives.prepare(found.negative, found.dims, mine, (*both)[1]);
            prepared.put(at, std::move(both));
          },
          [&](const arrint& map, const SubsetPatterns& found) {
            attributesOf(map, attributes);
            if (const auto both = prepared.take(index++)) {
              positives.take(found.positive, found.dims, attributes, (*both)[0]);
              negatives.take(found.negative, found.dims, attributes, (*both)[1]);
            } else {
              positives.take(found.positive, found.dims, attributes);
              negatives.take(found.negative, found.dims, attributes);
            }
            memory.check(positive, negative);
          });
    clock.lap("search and merge");
    // One side after the other, each on every thread: the order of one side takes memory
    // beside the patterns until it is done.
    positives.finish();
    negatives.finish();
    clock.lap("order");
  });
  Model model(std::move(names), std::move(grid), std::move(positive), std::move(negative),
              table.format());
  if (parameters.coverTarget <= 0) return model;
  SelectionCounts counts;
  Model selected = selectPatterns(model, table, parameters.coverTarget, &counts);
  if (control.selected) control.selected(counts);
  return selected;
}

}  // namespace
