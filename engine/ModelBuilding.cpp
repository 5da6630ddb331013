// The whole build: discretize, search every attribute subset, gather the pandects.
#include <algorithm>
#include <functional>

#include "LadError.h"
#include "NumberText.h"
#include "TLAD.h"
#include "TSubset.h"

namespace {

// Moves each pattern of the working list into the pandect unless its description is there
// already (the first found stays); a duplicate is destroyed. The list is left empty.
void gather(TLAD& model, OwningPatternList& list, OwningPatternList& pandect) {
  for (TInterval*& pattern : list.vals) {
    const std::string key = model.desc(*pattern);
    if (pandect.find(key, true) < 0) {
      pandect.add(key, pattern);
    } else {
      delete pattern;
    }
    pattern = nullptr;
  }
  list.Clear();
}

// The largest grid that a subset of `degree` attributes spans must be addressable.
void checkGridSize(const arrint& sizes, std::int32_t degree) {
  arrint largest(sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(std::min(largest.size(), static_cast<std::size_t>(degree)));
  if (gridCellCount(largest) < 0) {
    throw LadError("The grid of an attribute subset of " +
                   IntToStr(static_cast<int>(largest.size())) +
                   " attributes would have more than 2147483647 cells; lower the Grid Size or "
                   "the Degree");
  }
}

}  // namespace

void TLAD::buildModel() {
  if (degree < 1)
    throw LadError("Degree must be at least 1 (it is " + IntToStr(degree) + ")");
  if (data.empty())
    throw LadError("The data table has no observations to learn from");
  if (!attList) {
    attList = std::make_unique<TSSList>();
    attList->parse(attributes);
  }
  const std::size_t columns = data[0].size();
  if (static_cast<std::size_t>(attList->size()) < columns) {
    throw LadError("The header names " + IntToStr(attList->size()) + " attribute(s) (" +
                   attributes + ") for " + IntToStr(static_cast<int>(columns)) +
                   " attribute columns; an attribute name must not begin with \"Class\"");
  }
  if (cutpoints.empty()) {
    discretize();
  } else {
    discretize_simple();
  }
  checkGridSize(sizes, degree);

  pospandect = std::make_unique<OwningPatternList>();
  negpandect = std::make_unique<OwningPatternList>();
  pospandect->sorted = true;
  negpandect->sorted = true;

  const auto attributeCount = static_cast<std::int32_t>(datagrid[0].size());
  TSubset subset(attributeCount, degree);
  OwningPatternList ListPos;
  OwningPatternList ListNeg;
  while (!subset.subset.empty()) {
    buildpatterns(subset.map, ListPos, ListNeg);
    gather(*this, ListPos, *pospandect);
    gather(*this, ListNeg, *negpandect);
    subset.next();
  }
}

std::string TLAD::desc(const TInterval& pat) {
  for (std::string& value : attList->vals)
    value.clear();
  for (std::size_t i = 0; i < pat.map.size(); ++i) {
    const auto k = static_cast<std::size_t>(pat.map[i]);
    const arrreal& c = cutpoints[k];
    const auto count = static_cast<std::int32_t>(c.size());
    std::string field;
    if (pat.a[i] > 0)
      field = ">=" + FloatToStr(c[static_cast<std::size_t>(pat.a[i] - 1)]);
    if (pat.b[i] < count) {
      if (!field.empty())
        field += " & ";
      field += "<" + FloatToStr(c[static_cast<std::size_t>(pat.b[i])]);
    }
    attList->vals[k] = field;
  }
  std::string text;
  for (const std::string& value : attList->vals)
    text += "," + value;
  return text;
}
