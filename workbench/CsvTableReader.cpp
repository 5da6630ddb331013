#include "CsvTableReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "LadError.h"
#include "TextTablePlace.h"

namespace {

std::string separatorName(char separator) {
  return separator == '\t' ? std::string("a tab") : "'" + std::string(1, separator) + "'";
}

// The header's fields as names.
class HeaderFields {
 public:
  void append(std::string_view piece) { current_.append(piece); }
  void append(char c) { current_.push_back(c); }
  void endField() {
    names.push_back(std::move(current_));
    current_.clear();
  }
  std::vector<std::string> names;

 private:
  std::string current_;
};

// A row's fields, written straight into the table.
class RowFields {
 public:
  explicit RowFields(TextTable& table) : table_(table) {}
  void append(std::string_view piece) { table_.appendToField(piece); }
  void append(char c) { table_.appendToField(c); }
  void endField() { table_.endField(); }

 private:
  TextTable& table_;
};

// Walks the text record by record, keeping the line count (line breaks inside quoted fields
// count too) for the messages.
class CsvScanner {
 public:
  CsvScanner(std::string_view text, const std::string& source, char separator, std::size_t start)
      : text_(text), source_(source), separator_(separator), position_(start) {
    endsField_[static_cast<unsigned char>(separator)] = true;
    endsField_[static_cast<unsigned char>('\n')] = true;
    endsField_[static_cast<unsigned char>('\r')] = true;
  }

  // Skips blank lines; false at the end of the text.
  bool atRecord() {
    for (;;) {
      if (position_ == text_.size()) return false;
      if (text_[position_] == '\n') {
        ++position_;
      } else if (text_[position_] == '\r' && position_ + 1 < text_.size() &&
                 text_[position_ + 1] == '\n') {
        position_ += 2;
      } else {
        return true;
      }
      newLine();
    }
  }

  std::size_t line() const { return line_; }
  std::size_t position() const { return position_; }

  // Reads one record into sink (append and endField per field) and returns its field count.
  template <class Sink>
  std::size_t readRecord(Sink& sink) {
    const std::size_t size = text_.size();
    for (std::size_t fields = 1;; ++fields) {
      if (position_ < size && text_[position_] == '"') {
        readQuoted(sink, fields);
      } else {
        const std::size_t start = position_;
        while (position_ < size) {
          const char c = text_[position_];
          if (endsField_[static_cast<unsigned char>(c)] && (c != '\r' || isLineBreak(position_))) {
            break;
          }
          ++position_;
        }
        sink.append(text_.substr(start, position_ - start));
      }
      sink.endField();
      if (position_ == size) return fields;
      const char c = text_[position_];
      if (c == separator_) {
        ++position_;
        continue;
      }
      if (isLineBreak(position_)) {
        position_ += c == '\r' ? 2 : 1;
        newLine();
        return fields;
      }
      const std::size_t end = text_.find_first_of("\r\n", position_ + 1);
      throw LadError(placeInLine(source_, line_, text_, lineStart_, position_) +
                     ": the quoted field " + std::to_string(fields) + " is followed by " +
                     quotedForMessage(text_.substr(position_, end - position_)) +
                     "; a closing quote must be followed by the separator " +
                     separatorName(separator_) +
                     " or the end of the line (a quote inside a quoted field is written as two "
                     "quotes \"\")");
    }
  }

 private:
  bool isLineBreak(std::size_t at) const {
    return text_[at] == '\n' ||
           (text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n');
  }

  void newLine() {
    ++line_;
    lineStart_ = position_;
  }

  // The quoted field at position_, its doubled quotes made single; position_ ends after the
  // closing quote.
  template <class Sink>
  void readQuoted(Sink& sink, std::size_t field) {
    const std::size_t openLine = line_, openLineStart = lineStart_, openAt = position_;
    ++position_;
    for (;;) {
      const std::size_t quote = text_.find('"', position_);
      if (quote == std::string_view::npos) {
        throw LadError(placeInLine(source_, openLine, text_, openLineStart, openAt) +
                       ": the quote that opens field " + std::to_string(field) +
                       " is never closed; a quoted field ends with a quote, and a quote inside "
                       "it is written as two quotes \"\"");
      }
      const std::string_view piece = text_.substr(position_, quote - position_);
      // Line breaks inside quotes belong to the field but still count as lines of the file.
      const std::size_t lastBreak = piece.rfind('\n');
      if (lastBreak != std::string_view::npos) {
        line_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
        lineStart_ = position_ + lastBreak + 1;
      }
      sink.append(piece);
      if (quote + 1 < text_.size() && text_[quote + 1] == '"') {
        sink.append('"');
        position_ = quote + 2;
      } else {
        position_ = quote + 1;
        return;
      }
    }
  }

  std::string_view text_;
  const std::string& source_;
  char separator_;
  std::size_t position_;
  std::size_t line_ = 1;
  std::size_t lineStart_ = 0;
  // The bytes an unquoted field stops at: the separator, LF and CR (which ends it only
  // before LF), looked up in one step.
  bool endsField_[256] = {};
};

void requireDistinctNames(const std::vector<std::string>& names, const std::string& source,
                          std::size_t line) {
  std::unordered_map<std::string_view, std::size_t> seen;
  for (std::size_t c = 0; c < names.size(); ++c) {
    // pandas and R leave the index column's name empty, and a sheet's empty columns have
    // empty names too: only named columns must differ.
    if (names[c].empty()) continue;
    const auto [at, added] = seen.emplace(names[c], c);
    if (!added) {
      throw LadError(placeOfLine(source, line) + ": columns " + std::to_string(at->second + 1) +
                     " and " + std::to_string(c + 1) + " are both named " +
                     quotedForMessage(names[c]) + "; every column needs a name of its own");
    }
  }
}

}  // namespace

char findCsvSeparator(std::string_view text, std::size_t start) {
  constexpr char kCandidates[] = {',', ';', '\t'};
  std::size_t counts[3] = {0, 0, 0};
  bool fieldStart = true;
  for (std::size_t i = start; i < text.size() && text[i] != '\n'; ++i) {
    const char c = text[i];
    if (c == '"' && fieldStart) {
      // A quoted part: skip to its closing quote, over doubled quotes.
      for (++i; i < text.size(); ++i) {
        if (text[i] != '"') continue;
        if (i + 1 < text.size() && text[i + 1] == '"') {
          ++i;
        } else {
          break;
        }
      }
      fieldStart = false;
      continue;
    }
    fieldStart = false;
    for (int k = 0; k < 3; ++k) {
      if (c == kCandidates[k]) {
        ++counts[k];
        fieldStart = true;
      }
    }
  }
  int best = 0;
  for (int k = 1; k < 3; ++k) {
    if (counts[k] > counts[best]) best = k;
  }
  return kCandidates[best];
}

TextTable readCsvTable(std::string_view text, const std::string& source, char separator) {
  if (separator != 0 && separator != ',' && separator != ';' && separator != '\t') {
    throw LadError(source + ": " + quotedForMessage(std::string_view(&separator, 1)) +
                   " cannot separate the fields of a table; the separators are ',', ';' and tab");
  }
  const std::size_t start = text.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
  CsvScanner probe(text, source, ',', start);
  if (!probe.atRecord()) {
    throw LadError(source +
                   ": the file holds no table; a table begins with a line of column names");
  }
  TextTable table;
  table.separator = separator != 0 ? separator : findCsvSeparator(text, probe.position());
  CsvScanner scanner(text, source, table.separator, start);
  scanner.atRecord();
  const std::size_t headerLine = scanner.line();
  HeaderFields header;
  scanner.readRecord(header);
  requireDistinctNames(header.names, source, headerLine);
  table.columns = std::move(header.names);
  table.kinds.assign(table.columns.size(), DeclaredKind::Undeclared);
  table.nominalValues.assign(table.columns.size(), {});

  // Every row ends at a line break or the end, so this is as many rows as the text can hold.
  const std::size_t lineBreaks = static_cast<std::size_t>(
      std::count(text.begin() + static_cast<std::ptrdiff_t>(scanner.position()), text.end(), '\n'));
  table.reserve(lineBreaks + 1, text.size() - scanner.position());
  RowFields row(table);
  while (scanner.atRecord()) {
    const std::size_t line = scanner.line();
    const std::size_t rowStart = scanner.position();
    const std::size_t fields = scanner.readRecord(row);
    if (fields != table.columns.size()) {
      throw LadError(placeOfLine(source, line) + ": the row has " + countOf(fields, "field") +
                     " but the header has " + std::to_string(table.columns.size()) +
                     "; every row needs one field per column");
    }
    if (scanner.position() - rowStart > std::numeric_limits<std::uint32_t>::max()) {
      throw LadError(placeOfLine(source, line) +
                     ": the row holds 4 GB of text or more; a row must be shorter");
    }
    table.endRow(line);
  }
  return table;
}
