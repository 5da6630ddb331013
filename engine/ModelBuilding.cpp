// The whole build: discretize, search every attribute subset, gather the patterns.
#include "ModelBuilding.h"

#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <functional>

#include "BuildCost.h"
#include "Description.h"
#include "LadError.h"
#include "NumberText.h"
#include "PatternSelection.h"
#include "PatternSetBuilder.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "SystemMemory.h"
#include "CellCounters.h"

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

}  // namespace

Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control) {
  return buildModel(table, parameters, control,
                    [&](const SearchData& data, std::int32_t attributes, std::int32_t degree,
                        const TakeSubset& take) {
                      searchEverySubset(data, attributes, degree, control, take);
                    });
}

Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control, const PatternSource& source) {
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
  runWithThreads(control.threads, [&] {
    arrint attributes;
    // A table of which no attribute can be searched has no subsets, and no patterns.
    if (!searched.empty()) source(data, static_cast<std::int32_t>(searched.size()), degree,
           [&](const arrint& map, const SubsetPatterns& found) {
             attributes.resize(map.size());
             for (std::size_t i = 0; i < map.size(); ++i) {
               attributes[i] = static_cast<std::int32_t>(searched[static_cast<std::size_t>(map[i])]);
             }
             positives.take(found.positive, found.dims, attributes);
             negatives.take(found.negative, found.dims, attributes);
             memory.check(positive, negative);
           });
    tbb::parallel_invoke([&] { positives.finish(); }, [&] { negatives.finish(); });
  });
  Model model(std::move(names), std::move(grid), std::move(positive), std::move(negative),
              table.format());
  if (parameters.coverTarget <= 0) return model;
  SelectionCounts counts;
  Model selected = selectPatterns(model, table, parameters.coverTarget, &counts);
  if (control.selected) control.selected(counts);
  return selected;
}
