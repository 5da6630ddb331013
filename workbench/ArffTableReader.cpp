#include "ArffTableReader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "LadError.h"
#include "TextTablePlace.h"

namespace {

const char* const kAttributeForm =
    "@attribute NAME TYPE, where TYPE is numeric, real, integer, string, date [FORMAT] or "
    "{VALUE, VALUE, ...}";

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Appends the code point as UTF-8.
void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One line of the text, with its number and where it begins in the text.
struct Line {
  std::string_view text;
  std::size_t number = 0;
  std::size_t start = 0;
};

class ArffReader {
 public:
  ArffReader(std::string_view text, const std::string& source) : text_(text), source_(source) {
    if (text_.starts_with(kUtf8ByteOrderMark)) next_ = kUtf8ByteOrderMark.size();
  }

  TextTable read() {
    table_.separator = 0;
    table_.arff = true;
    readHeader();
    readData();
    return std::move(table_);
  }

 private:
  // The next line that is neither blank nor a `%` comment, its line end and leading spaces
  // left out; false at the end of the text.
  bool nextLine() {
    while (next_ < text_.size()) {
      const std::size_t end = std::min(text_.find('\n', next_), text_.size());
      line_.number = ++lineNumber_;
      line_.start = next_;
      line_.text = text_.substr(next_, end - next_);
      next_ = end + 1;
      if (!line_.text.empty() && line_.text.back() == '\r') line_.text.remove_suffix(1);
      std::size_t first = 0;
      while (first < line_.text.size() && isSpace(line_.text[first])) ++first;
      if (first == line_.text.size() || line_.text[first] == '%') continue;
      return true;
    }
    return false;
  }

  std::string here() const { return placeOfLine(source_, line_.number); }
  std::string at(std::size_t i) const {
    return placeInLine(source_, line_.number, text_, line_.start, line_.start + i);
  }

  std::size_t skipSpaces(std::size_t i) const {
    while (i < line_.text.size() && isSpace(line_.text[i])) ++i;
    return i;
  }

  // The end of the line's text once trailing spaces and a `%` comment are left out.
  bool restIsEmpty(std::size_t i) const {
    i = skipSpaces(i);
    return i == line_.text.size() || line_.text[i] == '%';
  }

  // The quoted text that begins at line_.text[i] (' or "), backslash escapes read as ARFF
  // writers write them; returns the index after the closing quote. Refuses a quote left open.
  std::size_t readQuoted(std::size_t i, std::string& out) const {
    const std::string_view line = line_.text;
    const char quote = line[i];
    for (std::size_t j = i + 1; j < line.size(); ++j) {
      const char c = line[j];
      if (c == quote) return j + 1;
      if (c != '\\' || j + 1 == line.size()) {
        out.push_back(c);
        continue;
      }
      const char e = line[++j];
      switch (e) {
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'u': {
          std::uint32_t code = 0;
          std::size_t digits = 0;
          while (digits < 4 && j + 1 + digits < line.size() &&
                 hexDigit(line[j + 1 + digits]) >= 0) {
            code = code * 16 + static_cast<std::uint32_t>(hexDigit(line[j + 1 + digits]));
            ++digits;
          }
          if (digits == 4) {
            appendUtf8(out, code);
            j += 4;
          } else {
            out.push_back('u');
          }
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            // Octal, as liac-arff writes control characters (\001).
            unsigned code = 0;
            std::size_t digits = 0;
            while (digits < 3 && j + digits < line.size() && line[j + digits] >= '0' &&
                   line[j + digits] <= '7' &&
                   code * 8 + static_cast<unsigned>(line[j + digits] - '0') < 256) {
              code = code * 8 + static_cast<unsigned>(line[j + digits] - '0');
              ++digits;
            }
            out.push_back(static_cast<char>(code));
            j += digits - 1;
          } else {
            // \\, \', \", \% and any other escaped character stand for themselves.
            out.push_back(e);
          }
      }
    }
    throw LadError(at(i) + ": the quote " + quotedForMessage(std::string_view(&quote, 1)) +
                   " is never closed on its line; a quoted name or value ends with the same "
                   "quote, and a quote inside it is written \\" +
                   std::string(1, quote));
  }

  [[noreturn]] void malformedAttribute(const std::string& why) const {
    throw LadError(here() + ": " + quotedForMessage(line_.text) +
                   " is not an attribute declaration: " + why + "; an attribute is declared as " +
                   kAttributeForm);
  }

  // A name or a nominal value at i: quoted, or bare up to a space or one of `stops`.
  std::size_t readWord(std::size_t i, std::string& out, std::string_view stops) const {
    if (line_.text[i] == '\'' || line_.text[i] == '"') return readQuoted(i, out);
    const std::size_t start = i;
    while (i < line_.text.size() && !isSpace(line_.text[i]) &&
           stops.find(line_.text[i]) == std::string_view::npos) {
      ++i;
    }
    out.assign(line_.text.substr(start, i - start));
    return i;
  }

  void readHeader() {
    bool sawRelation = false;
    for (;;) {
      if (!nextLine()) {
        throw LadError(source_ +
                       ": the ARFF file has no @data line; its rows follow a line @data after "
                       "the @attribute lines");
      }
      const std::size_t first = skipSpaces(0);
      std::size_t end = first;
      while (end < line_.text.size() && !isSpace(line_.text[end])) ++end;
      const std::string keyword = lowered(line_.text.substr(first, end - first));
      if (keyword == "@relation") {
        if (sawRelation || !table_.columns.empty()) {
          throw LadError(here() +
                         ": a second @relation line; an ARFF header holds one "
                         "@relation line, then @attribute lines, then @data");
        }
        sawRelation = true;
      } else if (keyword == "@attribute") {
        readAttribute(end);
      } else if (keyword == "@data") {
        if (!restIsEmpty(end)) {
          throw LadError(here() + ": text after @data; the rows begin on the next line");
        }
        if (table_.columns.empty()) {
          throw LadError(here() +
                         ": the ARFF file declares no attribute before @data; each column is "
                         "declared as " +
                         kAttributeForm);
        }
        return;
      } else if (!keyword.empty() && keyword.front() == '@') {
        throw LadError(here() + ": " + quotedForMessage(line_.text.substr(first, end - first)) +
                       " is not a declaration this reader knows; an ARFF header holds one "
                       "@relation line, then @attribute lines, then @data");
      } else {
        throw LadError(here() + ": " + quotedForMessage(line_.text) +
                       " comes before @data; an ARFF file's rows follow its @data line");
      }
    }
  }

  void readAttribute(std::size_t i) {
    i = skipSpaces(i);
    if (i == line_.text.size()) malformedAttribute("it has no name");
    std::string name;
    i = readWord(i, name, "{%");
    if (name.empty()) malformedAttribute("its name is empty");
    i = skipSpaces(i);
    if (i == line_.text.size() || line_.text[i] == '%') malformedAttribute("it has no type");
    DeclaredKind kind = DeclaredKind::Nominal;
    std::vector<std::string> values;
    if (line_.text[i] == '{') {
      i = readNominalValues(i, values);
      if (!restIsEmpty(i)) {
        malformedAttribute("text " + quotedForMessage(line_.text.substr(skipSpaces(i))) +
                           " follows the closing }");
      }
    } else {
      std::string type;
      i = readWord(i, type, "{%");
      const std::string word = lowered(type);
      if (word == "numeric" || word == "real" || word == "integer") {
        kind = DeclaredKind::Numeric;
      } else if (word == "string") {
        kind = DeclaredKind::Text;
      } else if (word == "date") {
        // The date format that may follow says how the dates are written; the dates are read
        // as text, so it is not needed.
        kind = DeclaredKind::Text;
        i = line_.text.size();
      } else if (word == "relational") {
        throw LadError(here() + ": attribute " + quotedForMessage(name) +
                       " is relational, which this reader does not read; give each value a "
                       "numeric, nominal or string attribute of its own");
      } else {
        malformedAttribute(quotedForMessage(type) + " is not a type");
      }
      if (!restIsEmpty(i)) {
        malformedAttribute("text " + quotedForMessage(line_.text.substr(skipSpaces(i))) +
                           " follows the type");
      }
    }
    const auto [earlier, added] = attributeNumbers_.emplace(name, table_.columns.size() + 1);
    if (!added) {
      throw LadError(here() + ": attributes " + std::to_string(earlier->second) + " and " +
                     std::to_string(table_.columns.size() + 1) + " are both named " +
                     quotedForMessage(name) + "; every attribute needs a name of its own");
    }
    table_.columns.push_back(std::move(name));
    table_.kinds.push_back(kind);
    table_.nominalValues.push_back(std::move(values));
  }

  // The list {v1, v2, ...} that begins at i; returns the index after its }.
  std::size_t readNominalValues(std::size_t i, std::vector<std::string>& values) {
    std::unordered_set<std::string> seen;
    i = skipSpaces(i + 1);
    if (i < line_.text.size() && line_.text[i] == '}') return i + 1;
    for (;;) {
      if (i == line_.text.size()) malformedAttribute("its list of values has no closing }");
      std::string value;
      const bool quoted = line_.text[i] == '\'' || line_.text[i] == '"';
      if (quoted) {
        i = readQuoted(i, value);
      } else {
        // A bare value runs to the next comma or }, spaces inside it kept.
        const std::size_t start = i;
        while (i < line_.text.size() && line_.text[i] != ',' && line_.text[i] != '}') ++i;
        std::size_t end = i;
        while (end > start && isSpace(line_.text[end - 1])) --end;
        value.assign(line_.text.substr(start, end - start));
      }
      if (value.empty()) {
        malformedAttribute(
            "its list holds an empty value, which a missing value (?) could not be told from");
      }
      if (!quoted && value == "?") {
        malformedAttribute(
            "its list holds ?, the mark of a missing value; quote it ('?') to "
            "declare it as a value");
      }
      if (!seen.insert(value).second) {
        malformedAttribute("its list holds " + quotedForMessage(value) + " twice");
      }
      values.push_back(std::move(value));
      i = skipSpaces(i);
      if (i == line_.text.size()) malformedAttribute("its list of values has no closing }");
      if (line_.text[i] == '}') return i + 1;
      if (line_.text[i] != ',') {
        malformedAttribute("its list of values has " + quotedForMessage(line_.text.substr(i, 1)) +
                           " where a comma or } belongs");
      }
      i = skipSpaces(i + 1);
    }
  }

  std::string declaredValues(std::size_t column) const {
    constexpr std::size_t kShown = 20;
    const std::vector<std::string>& values = table_.nominalValues[column];
    if (values.empty()) return "none (only ? for a missing value)";
    std::string list;
    for (std::size_t k = 0; k < values.size() && k < kShown; ++k) {
      list += (k == 0 ? "" : ", ") + quotedForMessage(values[k]);
    }
    if (values.size() > kShown) list += " and " + std::to_string(values.size() - kShown) + " more";
    return list + " (or ? for a missing value)";
  }

  void readData() {
    const std::size_t columns = table_.columns.size();
    std::vector<std::unordered_set<std::string_view>> declared(columns);
    for (std::size_t c = 0; c < columns; ++c) {
      for (const std::string& value : table_.nominalValues[c]) declared[c].insert(value);
    }
    const std::size_t rest = text_.size() - std::min(next_, text_.size());
    const std::size_t lineBreaks = static_cast<std::size_t>(
        std::count(text_.end() - static_cast<std::ptrdiff_t>(rest), text_.end(), '\n'));
    table_.reserve(lineBreaks + 1, rest);
    std::string quoted;
    while (nextLine()) {
      const std::string_view line = line_.text;
      std::size_t i = skipSpaces(0);
      if (line[i] == '{') {
        throw LadError(here() +
                       ": the row is in sparse form ({index value, ...}), which this reader "
                       "does not read; save the file in dense form, every value in order and "
                       "separated by commas");
      }
      std::size_t fields = 0;
      for (;;) {
        i = skipSpaces(i);
        const std::size_t fieldAt = i;
        std::string_view value;
        bool missing = false;
        if (i < line.size() && (line[i] == '\'' || line[i] == '"')) {
          quoted.clear();
          i = readQuoted(i, quoted);
          value = quoted;
          i = skipSpaces(i);
        } else {
          std::size_t end = std::min(line.find(',', i), line.size());
          std::size_t valueEnd = end;
          while (valueEnd > i && isSpace(line[valueEnd - 1])) --valueEnd;
          value = line.substr(i, valueEnd - i);
          i = end;
          if (value.empty()) {
            throw LadError(at(fieldAt) + ": value " + std::to_string(fields + 1) +
                           " is empty; ARFF writes a missing value as ?");
          }
          if (value == "?") {
            missing = true;
            value = {};
          } else if (fields == columns && value.front() == '{') {
            throw LadError(at(fieldAt) +
                           ": the row ends with a weight in braces, which this reader does not "
                           "read; save the file without instance weights");
          }
        }
        if (fields < columns) {
          if (table_.kinds[fields] == DeclaredKind::Nominal && !missing &&
              !declared[fields].contains(value)) {
            throw LadError(at(fieldAt) + ": " + quotedForMessage(value) +
                           " is not a declared value of attribute " +
                           quotedForMessage(table_.columns[fields]) + "; its values are " +
                           declaredValues(fields));
          }
          table_.appendToField(value);
          table_.endField();
        }
        ++fields;
        if (i == line.size()) break;
        if (line[i] != ',') {
          throw LadError(at(i) + ": value " + std::to_string(fields) + " is followed by " +
                         quotedForMessage(line.substr(i)) + "; values are separated by commas");
        }
        ++i;
      }
      if (fields != columns) {
        throw LadError(here() + ": the row has " + countOf(fields, "value") + " but " +
                       countOf(columns, "attribute") +
                       " are declared; every row needs one value per attribute");
      }
      if (line.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw LadError(here() + ": the row holds 4 GB of text or more; a row must be shorter");
      }
      table_.endRow(line_.number);
    }
  }

  std::string_view text_;
  const std::string& source_;
  TextTable table_;
  std::size_t next_ = 0;
  std::size_t lineNumber_ = 0;
  Line line_;
  // Each attribute's number (from 1) by its name.
  std::unordered_map<std::string, std::size_t> attributeNumbers_;
};

}  // namespace

TextTable readArffTable(std::string_view text, const std::string& source) {
  return ArffReader(text, source).read();
}
