// The patterns of one attribute subset as working lists of boxes.
#include "SearchData.h"
#include "SubsetSearch.h"
#include "TLAD.h"

void TLAD::buildpatterns(const arrint& map, TPatternList& ListPos, TPatternList& ListNeg) const {
  const SearchData data(*this);
  SearchScratch scratch;
  SubsetPatterns found;
  searchSubset(data, map, scratch, found);
  const auto d = static_cast<std::size_t>(found.dims);
  auto fill = [&](const std::vector<std::int32_t>& boxes, TPatternList& list) {
    for (std::size_t at = 0; at + 2 * d <= boxes.size() && d > 0; at += 2 * d) {
      auto pattern = std::make_unique<TInterval>(static_cast<std::int32_t>(d));
      for (std::size_t j = 0; j < d; ++j) {
        pattern->a[j] = boxes[at + j];
        pattern->b[j] = boxes[at + d + j];
      }
      // The key is the box's text before it is given its attributes.
      std::string key = pattern->toStr();
      pattern->updatemap(map);
      list.add(key, std::move(pattern));
    }
  };
  fill(found.positive, ListPos);
  fill(found.negative, ListNeg);
}
