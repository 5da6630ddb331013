// The whole build: discretize the training table, search every attribute subset, gather the
// patterns into a model.
#pragma once

#include <cstdint>
#include <functional>

#include "BuildControl.h"
#include "LearningParameters.h"
#include "Model.h"
#include "ArrayTypes.h"
#include "TrainingTable.h"

struct SearchData;
struct SubsetPatterns;

// One subset's patterns, handed over with the subset's attribute numbers.
using TakeSubset = std::function<void(const arrint& map, const SubsetPatterns& found)>;
// Where a build gets the patterns of its subsets: it must hand those of every subset of
// `degree` of the `attributes` attributes to take, in the subset order (SubsetRuns.h), one call
// at a time.
// It runs on the threads of the build's control.
using PatternSource = std::function<void(const SearchData& data, std::int32_t attributes,
                                         std::int32_t degree, const TakeSubset& take)>;

// Learns a model from the table with these parameters: equal-frequency cut points of
// parameters.gridSize bins, then the patterns of every subset of parameters.degree attributes,
// searched on the control's threads (the result is the same for any number of them). The
// model writes numbers in the table's format. Raises LadError for a table without
// observations, a header with fewer names than attribute columns, a search too large for the
// machine, and "Build cancelled".
Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control = {});
// The same with the patterns from `source` instead of the search of every subset here, so
// that a build shared out over processes merges into the very same model.
Model buildModel(const TrainingTable& table, const LearningParameters& parameters,
                 const BuildControl& control, const PatternSource& source);
