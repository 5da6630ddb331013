// The whole build: discretize, search every attribute subset, gather the pandects.
#include <algorithm>
#include <functional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "LadError.h"
#include "NumberText.h"
#include "TLAD.h"
#include "TSubset.h"

namespace {

// Gathers the patterns of every subset into one pandect: the first pattern found with a
// description keeps it and a later one is destroyed. The entries are sorted by description
// once at the end, which gives the same pandect as inserting them one by one into a sorted
// list, without moving the whole list for every insertion.
class PandectGatherer {
 public:
  PandectGatherer() = default;
  PandectGatherer(const PandectGatherer&) = delete;
  PandectGatherer& operator=(const PandectGatherer&) = delete;
  ~PandectGatherer() {
    for (auto& entry : entries_) delete entry.second;
  }

  // Takes every pattern of the working list, which is left empty.
  void take(TLAD& model, OwningPatternList& list) {
    for (TInterval*& pattern : list.vals) {
      std::string key = model.desc(*pattern);
      if (seen_.insert(key).second) {
        entries_.emplace_back(std::move(key), pattern);
      } else {
        delete pattern;
      }
      pattern = nullptr;
    }
    list.Clear();
  }

  // Hands the patterns over to the pandect in ascending key order.
  void moveInto(OwningPatternList& pandect) {
    std::sort(entries_.begin(), entries_.end(),
              [](const auto& x, const auto& y) { return compareKeys(x.first, y.first) < 0; });
    pandect.keys.reserve(entries_.size());
    pandect.vals.reserve(entries_.size());
    for (auto& [key, pattern] : entries_) {
      pandect.keys.push_back(std::move(key));
      pandect.vals.push_back(pattern);
      pattern = nullptr;
    }
    entries_.clear();
    seen_.clear();
  }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<std::pair<std::string, TInterval*>> entries_;
};

// The largest grid that a subset of `degree` attributes spans must be addressable.
void checkGridSize(const arrint& sizes, std::int32_t degree) {
  arrint largest(sizes);
  std::sort(largest.begin(), largest.end(), std::greater<>());
  largest.resize(std::min(largest.size(), static_cast<std::size_t>(degree)));
  requireAddressableGrid(largest);
}

}  // namespace

void TLAD::buildModel() {
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

  pospandect = std::make_unique<OwningPatternList>();
  negpandect = std::make_unique<OwningPatternList>();
  pospandect->sorted = true;
  negpandect->sorted = true;

  TSubset subset(static_cast<std::int32_t>(columns), degree);
  OwningPatternList ListPos;
  OwningPatternList ListNeg;
  PandectGatherer positives;
  PandectGatherer negatives;
  while (!subset.subset.empty()) {
    buildpatterns(subset.map, ListPos, ListNeg);
    positives.take(*this, ListPos);
    negatives.take(*this, ListNeg);
    subset.next();
  }
  positives.moveInto(*pospandect);
  negatives.moveInto(*negpandect);
}

std::string TLAD::desc(const TInterval& pat) {
  for (std::string& value : attList->vals) value.clear();
  for (std::size_t i = 0; i < pat.map.size(); ++i) {
    const auto k = static_cast<std::size_t>(pat.map[i]);
    const arrreal& c = cutpoints[k];
    const auto count = static_cast<std::int32_t>(c.size());
    std::string field;
    if (pat.a[i] > 0) field = ">=" + FloatToStr(c[static_cast<std::size_t>(pat.a[i] - 1)]);
    if (pat.b[i] < count) {
      if (!field.empty()) field += " & ";
      field += "<" + FloatToStr(c[static_cast<std::size_t>(pat.b[i])]);
    }
    attList->vals[k] = field;
  }
  std::string text;
  for (const std::string& value : attList->vals) text += "," + value;
  return text;
}
