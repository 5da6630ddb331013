// What the Data tab shows of the table in the data box before anything is built: its rows as a
// grid, and per attribute its range, mean, missing values and a histogram by class.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NumberText.h"

class TextTable;

// The table's lines, each cut into its comma-separated fields only when it is looked at, so
// that a large table costs its text and one offset per line.
class TableLines {
 public:
  explicit TableLines(std::string text);
  // The rows of a table as the file reading cut them (quotes taken off, any separator).
  explicit TableLines(const TextTable& table);
  // The header's fields.
  const std::vector<std::string>& header() const { return header_; }
  // The observation lines (the header and empty lines left out).
  std::size_t rows() const { return starts_.size(); }
  // The fields of observation line `row`.
  std::vector<std::string_view> fields(std::size_t row) const;
  // The line of the text (from 1) that observation `row` is on.
  std::size_t lineNumber(std::size_t row) const { return lineNumbers_[row]; }

 private:
  std::string text_;
  std::vector<std::string> header_;
  std::vector<std::size_t> starts_, ends_, lineNumbers_;
  char separator_ = ',';  // between the fields of text_'s lines
};

// The fields of a line cut at every comma, a trailing '\r' left out.
std::vector<std::string_view> commaFields(std::string_view line);

struct AttributeSummary {
  std::string name;
  std::int64_t values = 0;      // fields that read as numbers
  std::int64_t missing = 0;     // empty fields, "?", and fields a short line lacks
  std::int64_t notNumbers = 0;  // other texts, which Build Model refuses
  double minimum = std::numeric_limits<double>::quiet_NaN();
  double maximum = std::numeric_limits<double>::quiet_NaN();
  double mean = std::numeric_limits<double>::quiet_NaN();
  // Counts of the values in equal bins from minimum to maximum, by the row's class (the
  // maximum falls in the last bin; all in the first when every value is the same).
  std::vector<std::int64_t> positive, negative, other;
};

struct TableSummary {
  std::int64_t rows = 0;
  std::int64_t positives = 0;                // rows of class 1
  std::int64_t negatives = 0;                // of class 0
  std::int64_t others = 0;                   // of any other class
  std::vector<AttributeSummary> attributes;  // the header's fields but the first and "Class"
  // The class values counted as 1 and 0; with three or more classes, all of them, each row
  // then counted among the others.
  std::string positiveClass = "1";
  std::string negativeClass = "0";
  std::vector<std::string> classes;
};

constexpr int kSummaryBins = 10;
// The summary of a table in the form Build Model reads (a name column, the attributes, the
// class last); the class of a row is its last field, as Build Model takes it.
TableSummary summarizeTable(const TableLines& table, const NumberFormat& format,
                            int bins = kSummaryBins);
struct ReadTable;
// The summary of a table read as the user said (TableReading.h): its attributes are the
// model's (a category's value one each), a missing value is what the reading took as one, and
// with two classes the positive one counts as class 1.
TableSummary summarizeTable(const ReadTable& table, int bins = kSummaryBins);
