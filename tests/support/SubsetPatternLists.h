// The patterns of one attribute subset as working lists of boxes, for tests that check the
// search subset by subset.
#pragma once

#include "ArrayTypes.h"
#include "SearchData.h"
#include "PatternBox.h"

// Appends the patterns of the subset `map` to the lists in the order the search finds them,
// each with its map set and keyed by its text before the map was set.
void subsetPatternLists(const SearchData& data, const arrint& map, PatternBoxList& positive,
                        PatternBoxList& negative);
