// A table file as it is written: its column names and every row's fields as text, before any
// field is read as a number, a class or a category. Reads CSV (RFC 4180, with the separator
// found from the header when not given) and ARFF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The kind of a column as the file declares it. CSV declares nothing; ARFF declares numeric
// (numeric, real, integer), nominal ({a, b, c}) and text (string, date) attributes. A text
// column may name the rows or be ignored, never serve as an attribute: the table reading
// refuses that, not the file reading.
enum class DeclaredKind { Undeclared, Numeric, Nominal, Text };

struct TextTableOptions {
  // The CSV field separator: ',', ';' or '\t'; 0 finds it from the header line (the one of
  // the three that occurs most often outside quotes there; ',' when none does).
  char separator = 0;
};

class TextTable {
 public:
  // Column names, unquoted.
  std::vector<std::string> columns;
  // Per column, what the file declares (all Undeclared for CSV).
  std::vector<DeclaredKind> kinds;
  // Per column, the values an ARFF nominal attribute declares, in their order (else empty).
  std::vector<std::vector<std::string>> nominalValues;
  // ',', ';' or '\t' for CSV; 0 for ARFF.
  char separator = ',';
  bool arff = false;

  std::size_t rows() const { return lines_.size(); }
  // Field c of row r, unquoted, with doubled quotes made single. Every row has columns.size()
  // fields. ARFF's missing mark `?` (unquoted) is given as the empty field. Raises
  // ERangeError for r or c out of range.
  std::string_view field(std::size_t r, std::size_t c) const;
  // The line of the file (from 1) on which row r begins. Raises ERangeError for r out of range.
  std::size_t line(std::size_t r) const;

  // Used by the readers: appends one row of fields (exactly columns.size() of them) that
  // began on `line`.
  void addRow(const std::vector<std::string_view>& fields, std::size_t line);

  // Used by the readers to build a row in place, without a string per field: the pieces of a
  // field's text are appended, endField closes the field, and endRow closes the row, which
  // must then hold exactly columns.size() fields (else LadError naming the line).
  void appendToField(std::string_view piece) { text_.append(piece); }
  void appendToField(char c) { text_.push_back(c); }
  void endField();
  void endRow(std::size_t line);
  // Sets room aside for about this many rows and bytes of field text, so that a large file
  // is read without the buffers growing by copies.
  void reserve(std::size_t rows, std::size_t textBytes);

 private:
  // Every field's text, one after the other. A row's fields begin at rowStarts_[r] in text_,
  // and ends_[r * columns + c] is where field c of that row ends, counted from the row's
  // start: a million rows cost one buffer and two arrays, not a string per field, and a field
  // end takes four bytes (a row of 4 GB or more is refused).
  std::string text_;
  std::vector<std::uint32_t> ends_;
  std::vector<std::uint64_t> rowStarts_;
  std::vector<std::size_t> lines_;
  // Where the row being built begins in text_, and how many of its fields are closed.
  std::size_t pendingStart_ = 0;
  std::size_t pendingFields_ = 0;
};

// Whether the text is ARFF: its first line (after a UTF-8 byte-order mark) that is neither
// blank nor a `%` comment begins with @relation (in any case).
bool looksLikeArff(std::string_view text);

// Reads a CSV or ARFF text (ARFF when looksLikeArff). `source` names the file in messages.
// Refuses, with LadError naming the source, the line, the column and the value and saying what
// would be accepted: an empty text or one without a header; a row with more or fewer fields
// than the header (blank lines are skipped); a quote left open at the end of the text; text
// after a closing quote other than the separator; a header with two columns of the same
// (non-empty) name. ARFF: data in sparse form ({0 1, 3 x}); relational attributes; a nominal
// value not among those declared; a malformed @attribute line (an unknown type, a list of
// values not closed, a value declared twice, an empty value or an unquoted ?); data before
// @data; no @data; an empty unquoted value in a row (ARFF writes ? for a missing one); a row
// that ends with an instance weight ({w}). ARFF string and date attributes are read as
// DeclaredKind::Text. Both: a row of 4 GB or more.
TextTable readTextTable(std::string_view text, const std::string& source,
                        const TextTableOptions& options = {});
