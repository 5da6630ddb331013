// Pattern selection: a small part of a model's patterns that still covers the training table.
#pragma once

#include <cstdint>

#include "Model.h"
#include "TrainingTable.h"

// How many patterns of each side a selection kept, of how many.
struct SelectionCounts {
  std::int32_t positiveKept = 0;
  std::int32_t positiveFound = 0;
  std::int32_t negativeKept = 0;
  std::int32_t negativeFound = 0;
};

// The model with only the patterns chosen, side by side, so that every training observation of
// the side's class that c patterns of the side cover stays covered min(c, cover) times: a
// greedy set multi-cover that takes next the pattern covering most observations still short
// of their count, then the purer one (the larger share of the side's class among the
// observations it covers), then the one of fewer conditions, then the earlier one. The kept
// patterns keep their order. The result does not depend on the number of threads.
Model selectPatterns(const Model& model, const TrainingTable& table, std::int32_t cover,
                     SelectionCounts* counts = nullptr);
