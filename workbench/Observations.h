// A data table read for scoring and statistics: names, classes and values of its observations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "NumberText.h"

class Model;

class ModelRules;
struct ReadTable;

// The observation lines of a data table, read as Apply Model reads them: a short line's missing
// trailing values are 0.0 and its last field is the class. Values are held in one block, a row
// of width() values per observation.
class ObservationTable {
 public:
  // Reads the table text. Refuses an empty table ("The data table is empty"), a header of fewer
  // than two fields, a line with more fields than the header, and a value that is not a number
  // (saying the line and column). A class that is not a number is no failure: such a row is of
  // neither class, as one of class 2 is.
  static ObservationTable read(const std::string& text, const NumberFormat& format);
  // The table read by a model's layout: classes 1 for its positive class, 0 for another, -1
  // for none; missing values are NaN.
  static ObservationTable fromRead(const ReadTable& read);

  // The header's attribute names: its fields without the first and the last.
  const std::vector<std::string>& attributeNames() const { return attributes_; }
  std::size_t rows() const { return names_.size(); }
  // Values per row: at least the header's attribute columns.
  std::size_t width() const { return width_; }
  std::span<const double> values(std::size_t r) const {
    return {values_.data() + r * width_, width_};
  }
  // The first field of the row's line and its last (the class) as they stand.
  const std::string& name(std::size_t r) const { return names_[r]; }
  const std::string& classField(std::size_t r) const { return classFields_[r]; }
  // 1 positive, 0 negative, -1 neither: the whole part of the class field when it is a number.
  std::int32_t observationClass(std::size_t r) const { return classes_[r]; }
  // The row's line in the text, counted from 1 (the header is line 1).
  std::size_t lineNumber(std::size_t r) const { return lineNumbers_[r]; }
  // The rows whose name field is `name`.
  std::vector<std::size_t> rowsNamed(const std::string& name) const;

  // Pads every row with zeros to at least `count` values (a model may name more attributes
  // than its patterns use and the table holds).
  void widen(std::size_t count);

 private:
  std::vector<std::string> attributes_;
  std::vector<std::string> names_;
  std::vector<std::string> classFields_;
  std::vector<std::int32_t> classes_;
  std::vector<std::size_t> lineNumbers_;
  std::vector<double> values_;
  std::size_t width_ = 0;
};

// Refuses a table with fewer attribute columns than the model's patterns use, as Apply Model
// does; the message names the attribute.
void requireTableFitsModel(const ModelRules& rules, const ObservationTable& table);

// "" when the table's attribute columns carry the model's attribute names in the model's
// order; otherwise a sentence that names the first column that differs. The model is scored
// by column position whatever the names, so a mismatch is worth a warning.
std::string headerMismatch(const ModelRules& rules, const ObservationTable& table);
// The same for the model's attribute names and the table's attribute columns.
std::string columnMismatch(const std::vector<std::string>& modelNames,
                           const std::vector<std::string>& tableNames);

// The table as the model NAME reads it: by its layout (NAME.TBL) when it has one, with the
// reading's notes to `note`, else as Apply Model reads the plain form.
ObservationTable readObservationsFor(const std::string& name, const std::string& text,
                                     const NumberFormat& format,
                                     const std::function<void(const std::string&)>& note = {});
// The model NAME's rules, with its categories read from its layout when it has one.
ModelRules rulesOfModel(std::shared_ptr<const Model> model, const std::string& name,
                        const NumberFormat& format);
