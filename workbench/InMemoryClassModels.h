// A model per class built and kept in memory, for a front end that holds models between calls
// (the Python package): the build of a table of three or more classes as Build Model does it,
// without writing a file, and the writing of its files later.
#pragma once

#include <string>
#include <vector>

#include "BuildModel.h"
#include "InMemoryModel.h"
#include "TableIntake.h"

struct BuiltClassModels {
  TableLayout layout;              // how the table was read; its classes in the models' order
  std::vector<BuiltModel> models;  // per class, that class against the rest
};

// Reads the table by its layout (a column named Class holds the class, the first column names
// the rows), as Build Model reads a table of three or more classes given no reading options,
// and builds one model per class against the rest with the same checks, warnings and threads.
// Refuses a table that does not read as three or more classes. Raises "Build cancelled" when
// the control's cancel flag is set.
BuiltClassModels buildClassModelsInMemory(const LearningParameters& parameters,
                                          const std::string& tableText,
                                          const BuildOptions& options);

// The plain-form table text of one class's training table (its class 1, the rest 0, rows
// without a class left out), numbered from 1: what a model's pattern statistics are counted
// on.
std::string twoClassTableText(const TrainingTable& table);

// Writes what Build Model writes for the table: per class, NAME-CLASS's four files and
// NAME-CLASS.TBL, then NAME.CLS; `fileWritten` hears each model file as it is put in place.
PatternCounts writeClassModels(const BuiltClassModels& built, const std::string& name,
                               const FileWritten& fileWritten, const BuildOptions& options);
