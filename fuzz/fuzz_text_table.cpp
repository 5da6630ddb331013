// Fuzzes readTextTable with a CSV or ARFF text; the first byte chooses the separator option.
// A text is either refused with a LadError or read into a table where every row has one field
// per column; an ARFF nominal field is missing or declared; a CSV table written back with
// every field quoted reads again into the same names and fields.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "FuzzSupport.h"
#include "LadError.h"
#include "TextTable.h"

namespace {

std::string quotedField(std::string_view field) {
  std::string out = "\"";
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The table as CSV with every field quoted, CR LF line ends.
std::string fullyQuoted(const TextTable& table) {
  std::string out;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out += table.separator;
    out += quotedField(table.columns[c]);
  }
  out += "\r\n";
  for (std::size_t r = 0; r < table.rows(); ++r) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (c > 0) out += table.separator;
      out += quotedField(table.field(r, c));
    }
    out += "\r\n";
  }
  return out;
}

void checkShape(const TextTable& table) {
  const std::size_t columns = table.columns.size();
  if (columns == 0) propertyFailed("a table read without columns");
  if (table.kinds.size() != columns || table.nominalValues.size() != columns) {
    propertyFailed("kinds or nominal values not one per column");
  }
  for (std::size_t r = 0; r < table.rows(); ++r) {
    if (r > 0 && table.line(r) <= table.line(r - 1)) propertyFailed("row lines do not ascend");
    for (std::size_t c = 0; c < columns; ++c) table.field(r, c);
    try {
      table.field(r, columns);
      propertyFailed("row " + std::to_string(r) + " has a field past its columns");
    } catch (const ERangeError&) {
    }
  }
}

void checkNominalFields(const TextTable& table) {
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    if (table.kinds[c] != DeclaredKind::Nominal) continue;
    const std::unordered_set<std::string_view> declared(table.nominalValues[c].begin(),
                                                        table.nominalValues[c].end());
    for (std::size_t r = 0; r < table.rows(); ++r) {
      const std::string_view field = table.field(r, c);
      if (!field.empty() && !declared.contains(field)) {
        propertyFailed("row " + std::to_string(r) + " holds an undeclared nominal value");
      }
    }
  }
}

void checkRoundTrip(const TextTable& table) {
  const std::string written = fullyQuoted(table);
  TextTableOptions options;
  options.separator = table.separator;
  std::optional<TextTable> again;
  try {
    again.emplace(readTextTable(written, "written", options));
  } catch (const LadError& e) {
    propertyFailed(std::string("the table written back is refused: ") + e.what());
  }
  if (again->arff) propertyFailed("the table written back reads as ARFF");
  if (again->columns != table.columns) propertyFailed("the names written back read differently");
  if (again->rows() != table.rows()) {
    propertyFailed(std::to_string(table.rows()) + " rows written back read as " +
                   std::to_string(again->rows()));
  }
  for (std::size_t r = 0; r < table.rows(); ++r) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (again->field(r, c) != table.field(r, c)) {
        propertyFailed("field " + std::to_string(c) + " of row " + std::to_string(r) +
                       " written back reads differently");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr char kSeparators[] = {0, ',', ';', '\t'};
  TextTableOptions options;
  options.separator = kSeparators[data[0] % 4];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::optional<TextTable> table;
  try {
    table.emplace(readTextTable(text, "fuzz.csv", options));
  } catch (const LadError& e) {
    if (std::string_view(e.what()).substr(0, 8) != "fuzz.csv") {
      propertyFailed(std::string("a message without the source: ") + e.what());
    }
    return 0;
  }
  checkShape(*table);
  if (table->arff) {
    checkNominalFields(*table);
  } else {
    checkRoundTrip(*table);
  }
  return 0;
}
