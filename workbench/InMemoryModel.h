// A model built and kept in memory, for a front end that holds a model between calls (the
// Python package): built from a table text, scored on rows given as a block of numbers, and
// carried as the text of its NAME.MOD.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "BuildModel.h"
#include "Model.h"
#include "TrainingTable.h"

// A data table text of the numbers: the header "Name,<names>,Class", then one line per row, its
// number (from 1), its values written to read back exactly (exactNumberText), and its class.
// `values` holds rows x names.size() numbers, row after row. Refuses a name that holds a comma
// (it would split the header) and a class other than 0 or 1.
std::string tableTextOfValues(const std::vector<std::string>& names, const double* values,
                              std::size_t rows, const int* classes, const NumberFormat& format);

// Intake and the build, as Build Model does them (the same checks, messages and warnings),
// without writing a file: writeModelFiles can write the model's four files later. Raises
// "Build cancelled" when the control's cancel flag is set during the build.
struct BuiltModel {
  TrainingTable table;  // what writeModelFiles needs beside the model
  LearningParameters parameters;
  std::shared_ptr<const Model> model;
};
BuiltModel buildModelInMemory(const LearningParameters& parameters, const std::string& tableText,
                              const BuildOptions& options);

// The attribute columns a table needs for the model: one per cutpoint row.
std::size_t modelAttributeCount(const Model& model);

// The score of every row, as Apply Model gives it: `values` holds rows x columns numbers, row
// after row, read by attribute position; `scores` gets one per row. Refuses fewer columns than
// the model's patterns use (requireAttributeColumns). Rows are scored in parallel on `threads`
// threads (0: every core).
void scoreRows(const Model& model, const double* values, std::size_t rows, std::size_t columns,
               double* scores, int threads = 0);

// The text of the model's NAME.MOD, byte for byte as a build or a save writes it.
std::string modelText(const Model& model);
// A model read from such a text, as loadModel reads NAME.MOD; a failure names the text as
// `source` where loadModel would name the file.
std::shared_ptr<const Model> modelFromText(const std::string& text, const NumberFormat& format,
                                           const std::string& source = "the model text");
