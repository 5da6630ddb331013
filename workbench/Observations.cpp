#include "Observations.h"

#include "ApplyModel.h"
#include "Evaluation.h"
#include "KeyedLists.h"
#include "LadError.h"
#include "PatternRules.h"
#include "TableReading.h"
#include "TableText.h"

ObservationTable ObservationTable::read(const std::string& text, const NumberFormat& format) {
  const std::vector<std::string> lines = tableLines(text);
  requireLines(lines);
  TextList fields;
  fields.parse(tableLine(lines, 0));
  const std::int32_t headerFields = fields.size();
  if (headerFields < 2) throw ERangeError();
  ObservationTable table;
  table.attributes_.assign(fields.keys.begin() + 1, fields.keys.end() - 1);
  table.width_ = table.attributes_.size();
  const std::size_t rows = lines.size() - 1;
  table.names_.reserve(rows);
  table.classFields_.reserve(rows);
  table.classes_.reserve(rows);
  table.lineNumbers_.reserve(rows);
  table.values_.assign(rows * table.width_, 0.0);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    fields.parse(lines[i]);
    const std::int32_t m = fields.size();
    requireNoExtraFields(m, headerFields, i + 1);
    double* row = table.values_.data() + (i - 1) * table.width_;
    for (std::int32_t j = 1; j <= m - 2; ++j) {
      row[j - 1] = tableNumber(fields.keys[static_cast<std::size_t>(j)], i + 1,
                               static_cast<std::size_t>(j + 1), format);
    }
    table.names_.push_back(fields.keys.front());
    table.classFields_.push_back(fields.keys.back());
    table.classes_.push_back(evaluationClass(fields.keys.back(), format));
    table.lineNumbers_.push_back(i + 1);
  }
  return table;
}

ObservationTable ObservationTable::fromRead(const ReadTable& read) {
  ObservationTable table;
  table.attributes_ = read.layout.attributeNames();
  table.width_ = table.attributes_.size();
  for (std::size_t r = 0; r < read.values.size(); ++r) {
    table.names_.push_back(read.names[r]);
    table.classFields_.push_back(read.classFields[r]);
    const std::string two = twoClassField(read, r);
    table.classes_.push_back(two == "1" ? 1 : two == "0" ? 0 : kOtherClass);
    table.lineNumbers_.push_back(read.lines[r]);
    table.values_.insert(table.values_.end(), read.values[r].begin(), read.values[r].end());
  }
  return table;
}

ObservationTable readObservationsFor(const std::string& name, const std::string& text,
                                     const NumberFormat& format,
                                     const std::function<void(const std::string&)>& note) {
  const std::optional<TableLayout> layout = storedLayout(name);
  if (!layout) return ObservationTable::read(text, format);
  const ReadTable read = readTableAs(text, "The data table", *layout, format);
  if (note) {
    for (const std::string& n : read.notes) note(n);
  }
  return ObservationTable::fromRead(read);
}

ModelRules rulesOfModel(std::shared_ptr<const Model> model, const std::string& name,
                        const NumberFormat& format) {
  ModelRules rules(std::move(model), format);
  if (const std::optional<TableLayout> layout = storedLayout(name)) {
    rules.readCategories(layout->attributeColumns, layout->attributeValues, layout->missing);
  }
  return rules;
}

std::vector<std::size_t> ObservationTable::rowsNamed(const std::string& name) const {
  std::vector<std::size_t> found;
  for (std::size_t r = 0; r < names_.size(); ++r) {
    if (names_[r] == name) found.push_back(r);
  }
  return found;
}

void ObservationTable::widen(std::size_t count) {
  if (count <= width_) return;
  std::vector<double> wider(rows() * count, 0.0);
  for (std::size_t r = 0; r < rows(); ++r) {
    std::copy(values_.begin() + static_cast<std::ptrdiff_t>(r * width_),
              values_.begin() + static_cast<std::ptrdiff_t>((r + 1) * width_),
              wider.begin() + static_cast<std::ptrdiff_t>(r * count));
  }
  values_ = std::move(wider);
  width_ = count;
}

void requireTableFitsModel(const ModelRules& rules, const ObservationTable& table) {
  requireAttributeColumns(rules.model(), static_cast<std::int32_t>(table.attributeNames().size()));
}

std::string columnMismatch(const std::vector<std::string>& modelNames,
                           const std::vector<std::string>& tableNames) {
  for (std::size_t k = 0; k < modelNames.size() && k < tableNames.size(); ++k) {
    if (tableNames[k] != modelNames[k]) {
      return "Column " + integerText(static_cast<std::int64_t>(k + 2)) + " of the table is named " +
             quotedForMessage(tableNames[k]) + ", but the model's attribute " +
             integerText(static_cast<std::int64_t>(k + 1)) + " is " +
             quotedForMessage(modelNames[k]) + "; the model reads the values by their column";
    }
  }
  if (tableNames.size() < modelNames.size()) {
    return "The table has " + integerText(static_cast<std::int64_t>(tableNames.size())) +
           " attribute column(s), but the model has " +
           integerText(static_cast<std::int64_t>(modelNames.size())) + " attributes";
  }
  return "";
}

std::string headerMismatch(const ModelRules& rules, const ObservationTable& table) {
  std::vector<std::string> modelNames;
  for (std::size_t k = 0; k < rules.attributeCount(); ++k) {
    modelNames.push_back(rules.attributeName(k));
  }
  return columnMismatch(modelNames, table.attributeNames());
}
