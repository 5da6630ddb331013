#include "TableReading.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "KeyOrder.h"
#include "LadError.h"
#include "NameText.h"

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmedView(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string trimmed(std::string_view text) { return std::string(trimmedView(text)); }

std::string lineText(std::size_t line) {
  return integerText(static_cast<std::int64_t>(line));
}

std::string columnList(const std::vector<std::string>& columns) {
  std::string out;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) out += ", ";
    out += integerText(static_cast<std::int64_t>(c + 1)) + " " + quotedForMessage(columns[c]);
  }
  return out;
}

// A column by its name (exactly, else ignoring case when that is unambiguous) or its number
// from 1.
std::size_t findColumn(const std::string& given, const std::vector<std::string>& columns,
                       const std::string& option, const std::string& source) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (columns[c] == given) return c;
  }
  std::vector<std::size_t> alike;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (lower(columns[c]) == lower(given)) alike.push_back(c);
  }
  if (alike.size() == 1) return alike[0];
  if (!given.empty() &&
      std::all_of(given.begin(), given.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
    const std::size_t number = given.size() > 9 ? 0 : std::stoul(given);
    if (number >= 1 && number <= columns.size()) return number - 1;
  }
  throw LadError(source + ": " + option + " " + quotedForMessage(given) +
                 " names no column; give a column's name or its number from 1 to " +
                 integerText(static_cast<std::int64_t>(columns.size())) + " (" +
                 columnList(columns) + ")");
}

bool isMissing(std::string_view text, const std::vector<std::string>& missing) {
  return std::find(missing.begin(), missing.end(), text) != missing.end();
}

// How the numbers of a file read: in the user's format, and with a decimal comma too in a
// file whose fields are separated by ";", as spreadsheets write them where the comma is the
// decimal separator.
struct FileNumbers {
  NumberFormat format;
  bool decimalComma = false;
};

std::optional<double> numberOf(std::string_view text, const NumberFormat& format);

std::optional<double> numberOf(std::string_view text, const FileNumbers& numbers) {
  if (const auto value = numberOf(text, numbers.format)) return value;
  if (!numbers.decimalComma) return std::nullopt;
  return numberOf(text, NumberFormat{","});
}

FileNumbers fileNumbers(const TextTable& file, const NumberFormat& format) {
  return {format, !file.arff && file.separator == ';' && format.decimalSeparator != ","};
}

std::optional<double> numberOf(std::string_view text, const NumberFormat& format) {
  if (text.empty()) return std::nullopt;
  const char first = text[0];
  if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+' ||
        first == '.' || first == ',' || first == ' ')) {
    return std::nullopt;
  }
  try {
    return numberFromText(text, format);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

// The values of a class column in the order a model uses: numbers ascending when every value
// is one, otherwise in key order; an ARFF nominal column's declared order.
std::vector<std::string> classOrder(const std::set<std::string>& seen,
                                    const std::vector<std::string>& declared,
                                    const NumberFormat& format) {
  std::vector<std::string> values;
  if (!declared.empty()) {
    for (const std::string& v : declared) {
      if (seen.count(v)) values.push_back(v);
    }
    return values;
  }
  values.assign(seen.begin(), seen.end());
  const bool numbers = std::all_of(values.begin(), values.end(), [&](const std::string& v) {
    return numberOf(v, format).has_value();
  });
  if (numbers) {
    std::stable_sort(values.begin(), values.end(), [&](const std::string& a, const std::string& b) {
      return *numberOf(a, format) < *numberOf(b, format);
    });
  } else {
    std::sort(values.begin(), values.end(), KeyLess{});
  }
  return values;
}

// The class value `given` stands for: the same text, else the same number.
std::optional<std::string> classValue(const std::string& given,
                                      const std::vector<std::string>& values,
                                      const NumberFormat& format) {
  for (const std::string& v : values) {
    if (v == given) return v;
  }
  const auto number = numberOf(trimmed(given), format);
  if (!number) return std::nullopt;
  for (const std::string& v : values) {
    const auto other = numberOf(v, format);
    if (other && *other == *number) return v;
  }
  return std::nullopt;
}

std::string valueList(const std::vector<std::string>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size() && i < 12; ++i) {
    if (i > 0) out += ", ";
    out += quotedForMessage(values[i]);
  }
  if (values.size() > 12)
    out += ", ... (" + integerText(static_cast<std::int64_t>(values.size())) + " in all)";
  return out;
}

// What the reading does with each column of the file.
enum class Role { Id, Class, Ignored, Numeric, Category };

struct ColumnPlan {
  std::vector<Role> roles;
  std::size_t classColumn = kNone;
  std::size_t idColumn = kNone;
};

// Reads the rows of the file into the table as the plan and layout say: the attribute
// columns, in file order, a category's values one attribute each.
void readRows(const TextTable& file, const ColumnPlan& plan, const std::string& source,
              const NumberFormat& format, ReadTable& out) {
  const FileNumbers numbers = fileNumbers(file, format);
  const TableLayout& layout = out.layout;
  std::map<std::string, std::size_t> firstAttribute;  // a category column's first attribute
  std::map<std::string, std::map<std::string, std::size_t, std::less<>>> valueIndex;
  for (std::size_t k = 0; k < layout.attributeColumns.size(); ++k) {
    firstAttribute.emplace(layout.attributeColumns[k], k);
    if (layout.isCategory(k)) valueIndex[layout.attributeColumns[k]][layout.attributeValues[k]] = k;
  }
  // Per file column, its first attribute and its category values, looked up once.
  std::vector<std::size_t> attributeOf(file.columns.size(), kNone);
  std::vector<const std::map<std::string, std::size_t, std::less<>>*> valuesOf(
      file.columns.size(), nullptr);
  for (std::size_t c = 0; c < file.columns.size(); ++c) {
    if (plan.roles[c] != Role::Numeric && plan.roles[c] != Role::Category) continue;
    attributeOf[c] = firstAttribute.at(file.columns[c]);
    if (plan.roles[c] == Role::Category) valuesOf[c] = &valueIndex[file.columns[c]];
  }
  std::map<std::string, std::string> unseen;  // per column, the first value never seen
  const std::size_t width = layout.attributeColumns.size();
  out.values.assign(file.rows(), arrreal(width, std::nan("")));
  for (std::size_t r = 0; r < file.rows(); ++r) {
    out.lines.push_back(file.line(r));
    out.names.push_back(plan.idColumn == kNone ? "Row " + lineText(r + 1)
                                               : std::string(file.field(r, plan.idColumn)));
    if (plan.classColumn != kNone) {
      const std::string c = trimmed(file.field(r, plan.classColumn));
      out.classFields.push_back(isMissing(c, layout.missing) ? "" : c);
    } else {
      out.classFields.emplace_back();
    }
    arrreal& row = out.values[r];
    bool anyKnown = width == 0;
    for (std::size_t c = 0; c < file.columns.size(); ++c) {
      if (plan.roles[c] != Role::Numeric && plan.roles[c] != Role::Category) continue;
      const std::string_view text = trimmedView(file.field(r, c));
      const std::size_t k = attributeOf[c];
      if (isMissing(text, layout.missing)) continue;
      anyKnown = true;
      if (plan.roles[c] == Role::Numeric) {
        const auto number = numberOf(text, numbers);
        if (!number) {
          throw LadError(source + ", line " + lineText(file.line(r)) + ", column " +
                         integerText(static_cast<std::int64_t>(c + 1)) + " (" + file.columns[c] +
                         "): " + quotedForMessage(text) +
                         " is not a number, though the column's other values are; mark it "
                         "missing with --missing, or read the column as categories with "
                         "--categorical " +
                         file.columns[c]);
        }
        row[k] = *number;
        continue;
      }
      const auto& index = *valuesOf[c];
      for (std::size_t i = k; i < width && layout.attributeColumns[i] == file.columns[c]; ++i) {
        row[i] = 0.0;
      }
      const auto at = index.find(text);
      if (at != index.end()) {
        row[at->second] = 1.0;
      } else if (!unseen.count(file.columns[c])) {
        unseen[file.columns[c]] = std::string(text);
      }
    }
    if (!anyKnown) {
      throw LadError(source + ", line " + lineText(file.line(r)) +
                     ": every attribute value of the row is missing; remove the row or fill in "
                     "a value");
    }
  }
  for (const auto& [column, value] : unseen) {
    out.notes.push_back("Column " + column + " has values the model never saw (first " +
                        quotedForMessage(value) +
                        "); such a row meets none of the column's known values");
  }
}

ColumnPlan planColumns(const TextTable& file, const TableLayout& layout, bool classRequired,
                       const std::string& source) {
  ColumnPlan plan;
  plan.roles.assign(file.columns.size(), Role::Ignored);
  auto find = [&](const std::string& name) {
    for (std::size_t c = 0; c < file.columns.size(); ++c) {
      if (file.columns[c] == name) return c;
    }
    return kNone;
  };
  // Only unnamed columns can share a name (a sheet's index and trailing columns): the rows'
  // names come from the first such column, the class from the last, as by default.
  for (std::size_t c = file.columns.size(); c-- > 0 && plan.classColumn == kNone;) {
    if (file.columns[c] == layout.classColumn) plan.classColumn = c;
  }
  if (plan.classColumn == kNone && classRequired) {
    throw LadError(source + ": the table has no class column " +
                   quotedForMessage(layout.classColumn) + "; its columns are " +
                   columnList(file.columns));
  }
  if (layout.hasId) {
    plan.idColumn = find(layout.idColumn);
    if (plan.idColumn == kNone) {
      throw LadError(source + ": the table has no column " + quotedForMessage(layout.idColumn) +
                     " to name the rows; its columns are " + columnList(file.columns));
    }
    plan.roles[plan.idColumn] = Role::Id;
  }
  if (plan.classColumn != kNone) plan.roles[plan.classColumn] = Role::Class;
  std::set<std::string> wanted;
  for (std::size_t k = 0; k < layout.attributeColumns.size(); ++k) {
    const std::string& column = layout.attributeColumns[k];
    if (!wanted.insert(column).second) continue;
    const std::size_t c = find(column);
    if (c == kNone) {
      throw LadError(source + ": the table has no column " + quotedForMessage(column) +
                     ", which the model uses; its columns are " + columnList(file.columns));
    }
    plan.roles[c] = layout.isCategory(k) ? Role::Category : Role::Numeric;
  }
  return plan;
}

// The text as UTF-8: a file that is not (a spreadsheet's 8-bit export, most likely) is read
// as Latin-1, so that every name and value the model keeps is UTF-8.
std::string utf8Text(const std::string& text, std::vector<std::string>& notes,
                     const std::string& source) {
  if (isUtf8(text)) return text;
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  notes.push_back(source + " is not UTF-8 text: it was read as Latin-1");
  return out;
}

}  // namespace

bool ReadingOptions::any() const {
  return !classColumn.empty() || !idColumn.empty() || !ignored.empty() || !categorical.empty() ||
         !positive.empty() || missingGiven || separator != 0;
}

const std::vector<std::string>& defaultMissingTexts() {
  static const std::vector<std::string> texts{"", "?", "NA"};
  return texts;
}

std::vector<std::string> TableLayout::attributeNames() const {
  std::vector<std::string> names;
  for (std::size_t k = 0; k < attributeColumns.size(); ++k) {
    names.push_back(isCategory(k) ? attributeColumns[k] + "=" + attributeValues[k]
                                  : attributeColumns[k]);
  }
  return names;
}

std::string TableLayout::text() const {
  nlohmann::ordered_json j;
  j["class"] = classColumn;
  j["id"] = hasId ? nlohmann::json(idColumn) : nlohmann::json(nullptr);
  j["ignored"] = ignored;
  j["missing"] = missing;
  j["separator"] = std::string(1, separator);
  j["classes"] = classes;
  j["positive"] = positive;
  nlohmann::ordered_json attributes = nlohmann::ordered_json::array();
  for (std::size_t k = 0; k < attributeColumns.size(); ++k) {
    nlohmann::ordered_json a;
    a["column"] = attributeColumns[k];
    if (isCategory(k)) a["value"] = attributeValues[k];
    attributes.push_back(a);
  }
  j["attributes"] = attributes;
  return j.dump(1) + "\n";
}

TableLayout TableLayout::fromText(const std::string& text, const std::string& source) {
  try {
    const nlohmann::json j = nlohmann::json::parse(text);
    TableLayout layout;
    layout.classColumn = j.at("class").get<std::string>();
    layout.hasId = !j.at("id").is_null();
    if (layout.hasId) layout.idColumn = j.at("id").get<std::string>();
    layout.ignored = j.at("ignored").get<std::vector<std::string>>();
    layout.missing = j.at("missing").get<std::vector<std::string>>();
    const std::string separator = j.at("separator").get<std::string>();
    layout.separator = separator.empty() ? ',' : separator[0];
    layout.classes = j.at("classes").get<std::vector<std::string>>();
    layout.positive = j.at("positive").get<std::string>();
    for (const auto& a : j.at("attributes")) {
      layout.attributeColumns.push_back(a.at("column").get<std::string>());
      layout.attributeValues.push_back(a.contains("value") ? a.at("value").get<std::string>() : "");
    }
    return layout;
  } catch (const nlohmann::json::exception& e) {
    throw LadError(source + " is not a table layout this program wrote (" + e.what() + ")");
  }
}

std::int32_t ReadTable::classIndex(std::size_t r) const {
  const std::string& c = classFields[r];
  if (c.empty()) return -1;
  for (std::size_t i = 0; i < layout.classes.size(); ++i) {
    if (layout.classes[i] == c) return static_cast<std::int32_t>(i);
  }
  return -1;
}

std::string ReadTable::attributeLine() const {
  std::string line;
  const std::vector<std::string> names = layout.attributeNames();
  for (std::size_t k = 0; k < names.size(); ++k) line += (k > 0 ? "," : "") + names[k];
  return line;
}

TrainingTable ReadTable::againstRest(std::size_t positive, const NumberFormat& format) const {
  arrint classes(values.size());
  for (std::size_t r = 0; r < values.size(); ++r) {
    const std::int32_t c = classIndex(r);
    classes[r] = c < 0 ? -1 : static_cast<std::size_t>(c) == positive ? 1 : 0;
  }
  return TrainingTable(attributeLine(), values, std::move(classes), format);
}

TrainingTable ReadTable::twoClass(const NumberFormat& format) const {
  const auto at = std::find(layout.classes.begin(), layout.classes.end(), layout.positive);
  return againstRest(static_cast<std::size_t>(at - layout.classes.begin()), format);
}

ReadTable readTrainingTable(const std::string& rawText, const std::string& source,
                            const ReadingOptions& options, const NumberFormat& format) {
  std::vector<std::string> encodingNotes;
  const std::string text = utf8Text(rawText, encodingNotes, source);
  const TextTable file = readTextTable(text, source, {options.separator});
  const std::vector<std::string>& columns = file.columns;
  if (file.rows() == 0) throw LadError(source + ": the table has a header but no rows");
  TableLayout layout;
  layout.separator = file.arff ? ',' : file.separator;
  layout.missing = options.missingGiven ? options.missing : defaultMissingTexts();

  ColumnPlan plan;
  plan.roles.assign(columns.size(), Role::Numeric);
  if (!options.classColumn.empty()) {
    plan.classColumn = findColumn(options.classColumn, columns, "--class", source);
  } else {
    for (std::size_t c = 0; c < columns.size() && plan.classColumn == kNone; ++c) {
      if (lower(columns[c]) == "class") plan.classColumn = c;
    }
    if (plan.classColumn == kNone) plan.classColumn = columns.size() - 1;
  }
  if (options.idColumn == "none") {
    plan.idColumn = kNone;
  } else if (!options.idColumn.empty()) {
    plan.idColumn = findColumn(options.idColumn, columns, "--id", source);
  } else if (file.arff) {
    // ARFF has no name column: a first string attribute names the rows, else their lines.
    plan.idColumn = file.kinds[0] == DeclaredKind::Text && plan.classColumn != 0 ? 0 : kNone;
  } else {
    plan.idColumn = plan.classColumn == 0 ? kNone : 0;
  }
  if (plan.idColumn == plan.classColumn && plan.idColumn != kNone) {
    throw LadError(source + ": column " + quotedForMessage(columns[plan.idColumn]) +
                   " cannot both name the rows and hold the class; give --id with another "
                   "column, or --id none");
  }
  plan.roles[plan.classColumn] = Role::Class;
  if (plan.idColumn != kNone) plan.roles[plan.idColumn] = Role::Id;
  for (const std::string& given : options.ignored) {
    const std::size_t c = findColumn(given, columns, "--ignore", source);
    if (plan.roles[c] != Role::Numeric) {
      throw LadError(source + ": --ignore " + quotedForMessage(given) +
                     " names the class or the name column, which cannot be left out");
    }
    plan.roles[c] = Role::Ignored;
    layout.ignored.push_back(columns[c]);
  }
  const FileNumbers numbers = fileNumbers(file, format);
  std::set<std::size_t> forcedCategory;
  for (const std::string& given : options.categorical) {
    forcedCategory.insert(findColumn(given, columns, "--categorical", source));
  }

  // Each attribute column's kind: declared by the file, asked for, or found from its values.
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (plan.roles[c] != Role::Numeric) continue;
    const std::string name = columns[c];
    const std::string problem = controlCharacterProblem(name);
    if (!problem.empty()) {
      throw LadError(source + ": column " + integerText(static_cast<std::int64_t>(c + 1)) +
                     " of the header " + problem +
                     "; a name may hold no control characters (bytes 0x00 to 0x1F and 0x7F)");
    }
    if (name.find(',') != std::string::npos || name.find('=') != std::string::npos ||
        name.empty()) {
      throw LadError(source + ": column " + integerText(static_cast<std::int64_t>(c + 1)) +
                     " is named " + quotedForMessage(name) +
                     "; an attribute's name must not be empty or hold \",\" or \"=\"; rename "
                     "the column, or leave it out with --ignore " +
                     integerText(static_cast<std::int64_t>(c + 1)));
    }
    if (file.kinds[c] == DeclaredKind::Text) {
      throw LadError(source + ": column " + quotedForMessage(name) +
                     " is a string or date attribute, which cannot be learned from; name the "
                     "rows with it (--id " +
                     name + ") or leave it out (--ignore " + name + ")");
    }
    // Only the values that are not numbers are gathered here: a column of numbers is counted,
    // not copied.
    std::set<std::string, std::less<>> texts;
    std::size_t known = 0;
    std::size_t numeric = 0;
    std::size_t firstText = kNone;
    for (std::size_t r = 0; r < file.rows(); ++r) {
      const std::string_view value = trimmedView(file.field(r, c));
      if (isMissing(value, layout.missing)) continue;
      ++known;
      if (numberOf(value, numbers)) {
        ++numeric;
        continue;
      }
      if (firstText == kNone) firstText = r;
      if (texts.find(value) == texts.end()) texts.emplace(value);
    }
    if (forcedCategory.count(c) && numeric > 0) {
      for (std::size_t r = 0; r < file.rows(); ++r) {
        const std::string_view value = trimmedView(file.field(r, c));
        if (!isMissing(value, layout.missing) && texts.find(value) == texts.end()) {
          texts.emplace(value);
        }
      }
    }
    if (known == 0) {
      throw LadError(source + ": column " + quotedForMessage(name) +
                     " has no known value; leave it out with --ignore " + name);
    }
    const bool category = file.kinds[c] == DeclaredKind::Nominal || forcedCategory.count(c) ||
                          (firstText != kNone && numeric == 0);
    if (!category && firstText != kNone) {
      throw LadError(source + ", line " + lineText(file.line(firstText)) + ", column " +
                     integerText(static_cast<std::int64_t>(c + 1)) + " (" + name +
                     "): " + quotedForMessage(trimmed(file.field(firstText, c))) +
                     " is not a number, though the column's other values are; mark it missing "
                     "with --missing, or read the column as categories with --categorical " +
                     name);
    }
    if (!category) {
      layout.attributeColumns.push_back(name);
      layout.attributeValues.emplace_back();
      continue;
    }
    plan.roles[c] = Role::Category;
    std::vector<std::string> values;
    if (file.kinds[c] == DeclaredKind::Nominal) {
      values = file.nominalValues[c];
    } else {
      values.assign(texts.begin(), texts.end());
      std::sort(values.begin(), values.end(), KeyLess{});
    }
    for (const std::string& v : values) {
      layout.attributeColumns.push_back(name);
      layout.attributeValues.push_back(v);
    }
  }
  if (layout.attributeColumns.empty()) {
    throw LadError(source + ": the table has no attribute column besides the class (" +
                   columns[plan.classColumn] + ")" +
                   (plan.idColumn != kNone ? " and the row names (" + columns[plan.idColumn] + ")"
                                           : std::string()));
  }
  layout.classColumn = columns[plan.classColumn];
  layout.hasId = plan.idColumn != kNone;
  if (layout.hasId) layout.idColumn = columns[plan.idColumn];

  ReadTable table;
  table.layout = layout;
  table.notes = encodingNotes;
  readRows(file, plan, source, format, table);

  // The classes: which values there are, and which is positive.
  std::set<std::string> seen;
  std::size_t unclassed = 0;
  for (const std::string& c : table.classFields) {
    if (c.empty()) {
      ++unclassed;
    } else {
      seen.insert(c);
    }
  }
  const std::vector<std::string> declared = file.kinds[plan.classColumn] == DeclaredKind::Nominal
                                                ? file.nominalValues[plan.classColumn]
                                                : std::vector<std::string>{};
  std::vector<std::string>& classes = table.layout.classes;
  classes = classOrder(seen, declared, format);
  const std::string classColumn = quotedForMessage(table.layout.classColumn);
  if (classes.size() < 2) {
    throw LadError(source + ": the class column " + classColumn +
                   (classes.empty() ? " holds no class"
                                    : " holds one class only, " + quotedForMessage(classes[0])) +
                   "; a model learns from rows of at least two classes (is --class the right "
                   "column?)");
  }
  if (!options.positive.empty()) {
    const auto value = classValue(options.positive, classes, format);
    if (!value) {
      throw LadError(source + ": --positive " + quotedForMessage(options.positive) +
                     " is not a class of the column " + classColumn + "; its classes are " +
                     valueList(classes));
    }
    table.layout.positive = *value;
  } else if (classes.size() == 2) {
    const auto zero = classValue("0", classes, format);
    const auto one = classValue("1", classes, format);
    if (!zero || !one) {
      throw LadError(source + ": the class column " + classColumn + " has the two classes " +
                     valueList(classes) + "; say which is positive with --positive " + classes[1] +
                     " (or --positive " + classes[0] + ")");
    }
    table.layout.positive = *one;
  }
  if (unclassed > 0) {
    table.notes.push_back(integerText(static_cast<std::int64_t>(unclassed)) +
                          " row(s) have no class and take no part in learning");
  }
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (plan.roles[c] != Role::Category) continue;
    std::size_t count = 0;
    for (const std::string& column : table.layout.attributeColumns) count += column == columns[c];
    table.notes.push_back("Column " + columns[c] + " is read as categories (" +
                          integerText(static_cast<std::int64_t>(count)) + " values)");
  }
  return table;
}

ReadTable readTableAs(const std::string& rawText, const std::string& source,
                      const TableLayout& layout, const NumberFormat& format) {
  // The separator is found again: a test table may be written otherwise than the training one.
  ReadTable table;
  const std::string text = utf8Text(rawText, table.notes, source);
  const TextTable file = readTextTable(text, source, {});
  const ColumnPlan plan = planColumns(file, layout, false, source);
  table.layout = layout;
  table.hasClassColumn = plan.classColumn != kNone;
  readRows(file, plan, source, format, table);
  return table;
}

ReadingDefaults readingDefaults(const TextTable& file, const NumberFormat& format) {
  ReadingDefaults defaults;
  const std::vector<std::string>& columns = file.columns;
  defaults.classColumn = columns.empty() ? 0 : columns.size() - 1;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (lower(columns[c]) == "class") {
      defaults.classColumn = c;
      break;
    }
  }
  if (file.arff) {
    if (!columns.empty() && file.kinds[0] == DeclaredKind::Text && defaults.classColumn != 0) {
      defaults.idColumn = 0;
    }
  } else if (defaults.classColumn != 0) {
    defaults.idColumn = 0;
  }
  const FileNumbers numbers = fileNumbers(file, format);
  defaults.categorical.assign(columns.size(), false);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (c == defaults.classColumn || (defaults.idColumn && c == *defaults.idColumn)) continue;
    if (file.kinds[c] == DeclaredKind::Nominal) {
      defaults.categorical[c] = true;
      continue;
    }
    if (file.kinds[c] == DeclaredKind::Text) continue;
    bool known = false;
    bool numeric = false;
    for (std::size_t r = 0; r < file.rows() && !numeric; ++r) {
      const std::string value = trimmed(file.field(r, c));
      if (isMissing(value, defaultMissingTexts())) continue;
      known = true;
      numeric = numberOf(value, numbers).has_value();
    }
    defaults.categorical[c] = known && !numeric;
  }
  return defaults;
}

std::vector<std::string> columnClasses(const TextTable& file, std::size_t column,
                                       const std::vector<std::string>& missing,
                                       const NumberFormat& format) {
  std::set<std::string> seen;
  for (std::size_t r = 0; r < file.rows(); ++r) {
    const std::string value = trimmed(file.field(r, column));
    if (!value.empty() && !isMissing(value, missing)) seen.insert(value);
  }
  const std::vector<std::string> declared = file.kinds[column] == DeclaredKind::Nominal
                                                ? file.nominalValues[column]
                                                : std::vector<std::string>{};
  return classOrder(seen, declared, format);
}

bool positiveClassNeeded(const std::vector<std::string>& classes, const NumberFormat& format) {
  return classes.size() == 2 &&
         !(classValue("0", classes, format) && classValue("1", classes, format));
}

std::string readTableSummary(const ReadTable& table) {
  std::size_t missing = 0;
  for (const arrreal& row : table.values) {
    for (const double value : row) missing += std::isnan(value) ? 1 : 0;
  }
  const auto counted = [](std::size_t n, const std::string& one, const std::string& many) {
    return integerText(static_cast<std::int64_t>(n)) + " " + (n == 1 ? one : many);
  };
  return counted(table.names.size(), "row", "rows") + ", " +
         counted(table.layout.attributeColumns.size(), "attribute", "attributes") + ", " +
         counted(table.layout.classes.size(), "class", "classes") + ", " +
         counted(missing, "missing value", "missing values") + ".";
}
