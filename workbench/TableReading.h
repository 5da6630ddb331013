// Reading a table as people have it: which column is the class, which names the rows, which
// are left out, what marks a missing value, which columns hold categories, and which class is
// positive. The result is the rows' names, classes and attribute values, ready for a build
// (one training table per class when there are more than two) or for scoring.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ArrayTypes.h"
#include "NumberText.h"
#include "TextTable.h"
#include "TrainingTable.h"

// What the user said about the table; every field empty means "find it out".
struct ReadingOptions {
  std::string classColumn;               // a name or a number from 1; default: the column named
                                         // Class, else the last one
  std::string idColumn;                  // a name, a number from 1, or "none"; default: the first
  std::vector<std::string> ignored;      // names or numbers of columns that are neither
  std::vector<std::string> categorical;  // columns read as categories even when numeric
  std::string positive;                  // the positive class's value
  std::vector<std::string> missing;      // texts of a missing value; default: "", "?", "NA"
  bool missingGiven = false;             // missing was given (an empty list means none)
  char separator = 0;                    // ',', ';' or '\t'; 0: found from the header

  // Whether anything was said: without that, a table of the plain numeric form is read as it
  // always was.
  bool any() const;
};

// The missing-value texts when none are given.
const std::vector<std::string>& defaultMissingTexts();

// A column of categories: each value becomes an attribute named "column=value", 1 where the
// row has that value, 0 where it has another, missing where it has none.
struct CategoryColumn {
  std::string column;
  std::vector<std::string> values;
};

// How a table was read, kept beside a model (NAME.TBL) so that the tables it is applied to are
// read the same way without the options again.
struct TableLayout {
  std::string classColumn;  // the class column's name
  std::string idColumn;     // the name column's name; empty: rows named by line
  bool hasId = true;
  std::vector<std::string> ignored;
  std::vector<std::string> missing;
  char separator = ',';
  std::vector<std::string> classes;  // every class value, in the order the model uses
  std::string positive;              // the positive class (a two-class model)
  std::vector<CategoryColumn> categories;
  // The model's attributes: per attribute, its source column and, for a category's attribute,
  // the value (empty for a numeric column).
  std::vector<std::string> attributeColumns;
  std::vector<std::string> attributeValues;

  std::string text() const;  // JSON
  // Raises LadError naming `source` when the text is not a layout.
  static TableLayout fromText(const std::string& text, const std::string& source);
  // The attribute names of a model: the column name, or "column=value".
  std::vector<std::string> attributeNames() const;
  // Whether attribute k is a category's 0/1 attribute.
  bool isCategory(std::size_t k) const { return !attributeValues[k].empty(); }
};

// A table read: per row its name, its class text ("" when it has none or the table has no
// class column) and its attribute values (NaN where missing).
struct ReadTable {
  TableLayout layout;
  std::vector<std::string> names;
  std::vector<std::string> classFields;
  std::vector<std::size_t> lines;  // the file line of each row
  matreal values;
  bool hasClassColumn = true;
  // What the reading decided or left out that a user should hear: categorical columns, rows
  // without a class, values never seen in training.
  std::vector<std::string> notes;

  // The index in layout.classes of row r's class, or -1.
  std::int32_t classIndex(std::size_t r) const;
  // The training table of one class against the rest: 1 for rows of class `positive` (an index
  // into layout.classes), 0 for the other classes, -1 for rows without a class.
  TrainingTable againstRest(std::size_t positive, const NumberFormat& format) const;
  // The two-class training table: the layout's positive class against the other.
  TrainingTable twoClass(const NumberFormat& format) const;
  std::string attributeLine() const;
};

// Reads a table to learn from. `source` names it in messages. Refuses, naming the source, the
// line, the column and the value, and saying what would be accepted: a class or id column that
// is not there; a class column with one value; a two-class table whose classes are not 0 and 1
// without a positive class; a positive class that is not among the values; a column with no
// known value; a row whose every attribute is missing; a numeric column with a value that is
// not a number (offering --missing and --categorical).
ReadTable readTrainingTable(const std::string& text, const std::string& source,
                            const ReadingOptions& options, const NumberFormat& format);

// Reads a table to apply a model to, as the model's layout says. The class column may be
// absent. A category value the model never saw sets all of its attributes to 0, and a note
// says so once per column.
ReadTable readTableAs(const std::string& text, const std::string& source, const TableLayout& layout,
                      const NumberFormat& format);

// What readTrainingTable chooses for a file when it is given no options, for a dialog to offer
// as its defaults: the column of the class (named Class, else the last), the column that names
// the rows (the first, or none), and per column whether its values read as categories (an
// ARFF nominal column, or one whose known values are none of them numbers).
struct ReadingDefaults {
  std::size_t classColumn = 0;
  std::optional<std::size_t> idColumn;
  std::vector<bool> categorical;
};
ReadingDefaults readingDefaults(const TextTable& file, const NumberFormat& format);

// The classes of column `column` of the file, in the order a model uses, without the values
// `missing` names.
std::vector<std::string> columnClasses(const TextTable& file, std::size_t column,
                                       const std::vector<std::string>& missing,
                                       const NumberFormat& format);

// Whether a table of these classes must be told its positive class: two classes that are not
// 0 and 1 (three or more learn one model per class unless one is named).
bool positiveClassNeeded(const std::vector<std::string>& classes, const NumberFormat& format);

// A sentence on a table read: "8 rows, 9 attributes, 2 classes, 3 missing values."
std::string readTableSummary(const ReadTable& table);
