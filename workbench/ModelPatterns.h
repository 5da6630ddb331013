// A stored model's patterns with their statistics on a table, for a pattern browser and for
// explaining the table's scores.
#pragma once

#include <memory>
#include <string>

#include "PatternTable.h"

struct ModelPatterns {
  std::shared_ptr<const PatternTable> table;
  // What the statistics were counted on, or why there are none.
  std::string note;
};

// Loads NAME.MOD (a failure raises) and counts its patterns on the table text when the table
// fits the model; a table that cannot be read or does not fit gives patterns without
// statistics, and the note says why. `tableName` says in the note which table it was ("the
// data box").
ModelPatterns modelPatterns(const std::string& name, const std::string& tableText,
                            const NumberFormat& format, const std::string& tableName);
