#include "TableIntake.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "Intake.h"
#include "KeyedLists.h"
#include "LadError.h"
#include "TableText.h"

namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Whether a table that the plain form reads is meant in another form: a column named Class
// before the last, or classes that are whole numbers of three or more values. A class that is
// not a whole number (1.9, say) keeps the plain form's reading: its whole part.
bool meantOtherwise(const std::vector<std::string>& lines, const NumberFormat& format) {
  TextList fields;
  fields.parse(tableLine(lines, 0));
  for (std::int32_t j = 0; j + 1 < fields.size(); ++j) {
    if (lowerCase(fields.keys[static_cast<std::size_t>(j)]) == "class") return true;
  }
  std::set<double> classes;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t comma = lines[i].rfind(',');
    const std::string field = comma == std::string::npos ? lines[i] : lines[i].substr(comma + 1);
    try {
      const double value = numberFromText(field, format);
      if (value != std::trunc(value)) return false;
      classes.insert(value);
    } catch (const EConvertError&) {
      return false;
    }
  }
  return classes.size() >= 3;
}

// Whether every row name of the plain form is a number: most likely an attribute that the
// plain form takes as the names.
bool namesAreNumbers(const std::vector<std::string>& lines, const NumberFormat& format) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string name = lines[i].substr(0, lines[i].find(','));
    try {
      numberFromText(name, format);
    } catch (const EConvertError&) {
      return false;
    }
  }
  return lines.size() > 1;
}

bool plainFileName(const std::string& text) {
  return !text.empty() && text.size() <= 40 && text != "." && text != ".." &&
         std::all_of(text.begin(), text.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
         });
}

// Whether the header has two fields or more by some separator. Only the header counts: a
// table of another separator whose rows are wrong is one, and its reading says what is wrong.
bool hasTwoColumns(const std::string& text, const std::string& source) {
  const std::string_view header = std::string_view(text).substr(0, text.find('\n'));
  try {
    return readTextTable(header, source).columns.size() >= 2;
  } catch (const LadError&) {
    return false;
  }
}

// The plain form's reading of a table given no reading options: its table when the plain form
// is meant, nothing when the table is one for readTrainingTable. `plainFailure` holds the plain
// form's refusal of the whole table or its header, which stands when the reading refuses too;
// a text that no form reads as a table (a header of fewer than two fields by any separator)
// gets the plain form's refusal as it always was.
std::optional<TrainingTable> plainReading(const LearningParameters& parameters,
                                          const std::string& text, const std::string& source,
                                          const NumberFormat& format,
                                          std::exception_ptr& plainFailure,
                                          std::vector<std::string>& notes) {
  std::optional<TrainingTable> plain;
  try {
    plain = intake(parameters, text, format);
  } catch (const ERangeError&) {
    // A header of fewer than two fields by commas: a table of another separator, or no
    // table in any form, whose message stays as it always was.
    if (!hasTwoColumns(text, source)) throw;
  } catch (const LadError& e) {
    // Not the plain form: the reading says what is wrong, in its own terms, unless the plain
    // form refused the whole table or its header (an empty table, a name with a control
    // character), which the reading then refuses too: those messages stay as they always
    // were.
    if (std::string_view(e.what()).rfind("Line ", 0) != 0) plainFailure = std::current_exception();
  }
  if (!plain) return std::nullopt;
  const std::vector<std::string> lines = tableLines(text);
  if (meantOtherwise(lines, format)) return std::nullopt;
  if (namesAreNumbers(lines, format)) {
    TextList header;
    header.parse(tableLine(lines, 0));
    notes.push_back("Column 1 (" + header.keys[0] +
                    ") holds numbers but names the rows, as the first column always "
                    "does; if it is an attribute, give --id none");
  }
  return plain;
}

}  // namespace

TrainingTable BuildTables::twoClass(const NumberFormat& format) const {
  if (plain) return *plain;
  return read->twoClass(format);
}

BuildTables intakeTables(const LearningParameters& parameters, const std::string& text,
                         const std::string& source, const ReadingOptions& options,
                         const NumberFormat& format) {
  requireParameterRanges(parameters);
  BuildTables tables;
  if (!options.any() && !looksLikeArff(text)) {
    std::exception_ptr plainFailure;
    tables.plain = plainReading(parameters, text, source, format, plainFailure, tables.notes);
    if (tables.plain) return tables;
    if (plainFailure) {
      try {
        tables.read = readTrainingTable(text, source, options, format);
      } catch (const LadError&) {
        std::rethrow_exception(plainFailure);
      }
      tables.notes = tables.read->notes;
      return tables;
    }
  }
  tables.read = readTrainingTable(text, source, options, format);
  tables.notes = tables.read->notes;
  return tables;
}

bool readsInPlainForm(const std::string& text, const std::string& source,
                      const NumberFormat& format) {
  if (looksLikeArff(text)) return false;
  std::exception_ptr plainFailure;
  std::vector<std::string> notes;
  try {
    if (plainReading(LearningParameters{}, text, source, format, plainFailure, notes)) return true;
    if (plainFailure) readTextTable(text, source);  // a table in another form, or in none
    return false;
  } catch (const LadError&) {
    return true;  // no table in any form: the plain form's refusal says so
  }
}

std::string classModelName(const std::string& name, const TableLayout& layout, std::size_t k) {
  const std::string& value = layout.classes[k];
  return name + "-" +
         (plainFileName(value) ? value : integerText(static_cast<std::int64_t>(k + 1)));
}

std::string layoutFileName(const std::string& name) {
  return name + ".TBL";
}
std::string classIndexFileName(const std::string& name) {
  return name + ".CLS";
}

std::string ClassIndex::text() const {
  nlohmann::ordered_json j;
  j["classes"] = layout.classes;
  j["models"] = models;
  j["layout"] = nlohmann::ordered_json::parse(layout.text());
  return j.dump(1) + "\n";
}

ClassIndex ClassIndex::fromText(const std::string& text, const std::string& source) {
  try {
    const nlohmann::json j = nlohmann::json::parse(text);
    ClassIndex index;
    index.layout = TableLayout::fromText(j.at("layout").dump(), source);
    index.models = j.at("models").get<std::vector<std::string>>();
    if (index.models.size() != index.layout.classes.size()) {
      throw LadError(source + " names " +
                     integerText(static_cast<std::int64_t>(index.models.size())) + " models for " +
                     integerText(static_cast<std::int64_t>(index.layout.classes.size())) +
                     " classes");
    }
    return index;
  } catch (const nlohmann::json::exception& e) {
    throw LadError(source + " is not a class index this program wrote (" + e.what() + ")");
  }
}
