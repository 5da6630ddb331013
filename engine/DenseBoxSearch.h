// The search of a small grid of three coordinates box by box, without branches.
#pragma once

#include "SearchData.h"
#include "SubsetGrid.h"
#include "SubsetSearch.h"

// Whether denseSearch takes this grid: three coordinates of at most 8 bins each, and no
// missing values.
bool denseSearchHandles(const SubsetGrid& grid);

// Fills the scratch's found boxes and their ranks in the walk (found, when) as the anchored
// sweep does: the same boxes, each with the same rank. The scratch's grid holds the subset's
// prefix sums and its rank every cell's rank.
void denseSearch(const SubsetGrid& grid, const AcceptanceRule& rule, SearchScratch& scratch);
