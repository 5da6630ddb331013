// The table of a build or a cross-validation: the plain numeric form read exactly as it always
// was, or a table of another form read by TableReading, with the layout a model keeps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "LearningParameters.h"
#include "TableReading.h"
#include "TrainingTable.h"

struct BuildTables {
  std::optional<TrainingTable> plain;  // the plain form's table
  std::optional<ReadTable> read;       // or the table read by its layout
  // What the reading decided that a user should hear.
  std::vector<std::string> notes;

  // More than two classes and none chosen as positive: one model per class.
  bool multiClass() const { return read && read->layout.positive.empty(); }
  // The two-class table to learn from: the plain one, or the read one's positive class
  // against the other.
  TrainingTable twoClass(const NumberFormat& format) const;
};

// Checks the parameters' ranges, then reads the table. Without reading options, a table that
// today's plain form reads (Intake.h) is read so, unless its form says otherwise: a column
// named Class that is not the last, or whole-number classes of three or more values (one model
// per class). Everything else goes to readTrainingTable, whose messages name `source`.
BuildTables intakeTables(const LearningParameters& parameters, const std::string& text,
                         const std::string& source, const ReadingOptions& options,
                         const NumberFormat& format);

// Whether intakeTables, given no reading options, reads the text in the plain form: false for
// ARFF and for a table it would read by a layout (another separator, text classes, a Class
// column before the last, three or more classes). A text that no form reads as a table counts
// as plain, so that its refusal stays the plain form's. `source` names the text in messages.
bool readsInPlainForm(const std::string& text, const std::string& source,
                      const NumberFormat& format);

// The name of the model of class k of a table read with more than two classes: NAME-CLASS
// when the class's text is a plain file name, otherwise NAME-K (K from 1).
std::string classModelName(const std::string& name, const TableLayout& layout, std::size_t k);

// NAME.TBL: how a model's tables are read; NAME.CLS: the classes of a model per class.
std::string layoutFileName(const std::string& name);
std::string classIndexFileName(const std::string& name);

// One model per class: the classes, their models' names and the layout the tables are read by.
struct ClassIndex {
  TableLayout layout;
  std::vector<std::string> models;
  std::string text() const;
  static ClassIndex fromText(const std::string& text, const std::string& source);
};
