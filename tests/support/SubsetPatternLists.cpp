#include "SubsetPatternLists.h"

#include "SubsetSearch.h"

void subsetPatternLists(const SearchData& data, const arrint& map, PatternBoxList& positive,
                        PatternBoxList& negative) {
  SearchScratch scratch;
  SubsetPatterns found;
  searchSubset(data, map, scratch, found);
  const auto d = static_cast<std::size_t>(found.dims);
  auto fill = [&](const std::vector<std::int32_t>& boxes, PatternBoxList& list) {
    for (std::size_t at = 0; at + 2 * d <= boxes.size() && d > 0; at += 2 * d) {
      auto pattern = std::make_unique<PatternBox>(static_cast<std::int32_t>(d));
      for (std::size_t j = 0; j < d; ++j) {
        pattern->a[j] = boxes[at + j];
        pattern->b[j] = boxes[at + d + j];
      }
      std::string key = pattern->toStr();
      pattern->setAttributes(map);
      list.add(key, std::move(pattern));
    }
  };
  fill(found.positive, positive);
  fill(found.negative, negative);
}
