// The whole build: discretize, search every attribute subset, gather the pandects.
#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <functional>

#include "Description.h"
#include "LadError.h"
#include "NumberText.h"
#include "PandectBuilder.h"
#include "SearchData.h"
#include "SubsetSweep.h"
#include "TDataStructure.h"
#include "TLAD.h"

namespace {

// The largest grid that a subset of `degree` attributes spans must be addressable.
void checkGridSize(const arrint& sizes, std::int32_t degree) {
  arrint largest(sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(std::min(largest.size(), static_cast<std::size_t>(degree)));
  requireAddressableGrid(largest);
}

}  // namespace

void TLAD::buildModel(const BuildControl& control) {
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
  checkGridSize(sizes, degree);

  auto positive = std::make_unique<TPandect>();
  auto negative = std::make_unique<TPandect>();
  const SearchData data(*this);
  const CutpointTexts texts(cutpoints, format);
  const auto attributeCount = static_cast<std::size_t>(attList->size());
  PandectBuilder positives(texts, attributeCount, *positive);
  PandectBuilder negatives(texts, attributeCount, *negative);
  runWithThreads(control.threads, [&] {
    searchEverySubset(data, static_cast<std::int32_t>(columns), degree, control,
                      [&](const arrint& map, const SubsetPatterns& found) {
                        positives.take(found.positive, found.dims, map);
                        negatives.take(found.negative, found.dims, map);
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
