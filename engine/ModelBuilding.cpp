// The whole build: discretize, search every attribute subset, gather the pandects.
#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <functional>

#include "BuildCost.h"
#include "Description.h"
#include "LadError.h"
#include "NumberText.h"
#include "PandectBuilder.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "SystemMemory.h"
#include "TDataStructure.h"
#include "TLAD.h"

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
    throw LadError("A subset of " + IntToStr(degree) + " attributes spans a grid of " +
                   IntToStr(static_cast<std::int64_t>(cells)) +
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
  void check(const TPandect& positive, const TPandect& negative) const {
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

void TLAD::buildModel(const BuildControl& control) {
  buildModel(control, [&](const SearchData& data, std::int32_t attributes, std::int32_t degree,
                          const TakeSubset& take) {
    searchEverySubset(data, attributes, degree, control, take);
  });
}

void TLAD::buildModel(const BuildControl& control, const PatternSource& source) {
  const std::int32_t degree = parameters.degree;
  if (degree < 1) throw LadError("Degree must be at least 1 (it is " + IntToStr(degree) + ")");
  if (!attList) {
    attList = std::make_unique<TSSList>();
    attList->parse(attributes);
  }
  if (cutpoints.empty()) {
    discretize();
  } else {
    discretize_simple();
  }
  const std::size_t columns = datagrid[0].size();
  if (static_cast<std::size_t>(attList->size()) < columns) {
    throw LadError("The header names " + IntToStr(attList->size()) + " attribute(s) (" +
                   attributes + ") for " + IntToStr(static_cast<int>(columns)) +
                   " attribute columns; an attribute name must not begin with \"Class\"");
  }
  // The search runs on no more threads than there are cores, whatever it is told.
  const int threads =
      control.threads > 0 ? std::min(control.threads, defaultThreadCount()) : defaultThreadCount();
  checkGridSize(data.size(), sizes, degree, threads, control.processes);

  auto positive = std::make_unique<TPandect>();
  auto negative = std::make_unique<TPandect>();
  const SearchData data(*this);
  const CutpointTexts texts(cutpoints, format);
  const auto attributeCount = static_cast<std::size_t>(attList->size());
  PandectBuilder positives(texts, attributeCount, *positive);
  PandectBuilder negatives(texts, attributeCount, *negative);
  const PatternMemoryGuard memory(this->data.size());
  runWithThreads(control.threads, [&] {
    source(data, static_cast<std::int32_t>(columns), degree,
           [&](const arrint& map, const SubsetPatterns& found) {
             positives.take(found.positive, found.dims, map);
             negatives.take(found.negative, found.dims, map);
             memory.check(*positive, *negative);
           });
    tbb::parallel_invoke([&] { positives.finish(); }, [&] { negatives.finish(); });
  });
  pospandect = std::move(positive);
  negpandect = std::move(negative);
}

std::string TLAD::desc(PatternView pat) const {
  return describePattern(
      pat, static_cast<std::size_t>(attList->size()), cutpoints,
      [this](std::size_t k, std::size_t i) { return FloatToStr(cutpoints[k][i], format); });
}
