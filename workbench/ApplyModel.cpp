#include "ApplyModel.h"

#include <algorithm>
#include <filesystem>

#include "Evaluation.h"
#include "LadError.h"
#include "ModelFile.h"
#include "ModelSetCheck.h"
#include "KeyedLists.h"
#include "LineFile.h"
#include "TableIntake.h"
#include "NumberText.h"
#include "Observations.h"
#include "TableText.h"

std::int32_t highestAttributeUsed(const Model& model) {
  std::int32_t highest = -1;
  for (const PatternSet* side : {&model.positive(), &model.negative()}) {
    for (std::int32_t i = 0; i < side->size(); ++i) {
      for (const std::int32_t k : side->pattern(i).map) highest = std::max(highest, k);
    }
  }
  return highest;
}

void requireAttributeColumns(const Model& model, std::int32_t columns) {
  const std::int32_t highest = highestAttributeUsed(model);
  if (highest >= columns) {
    const auto k = static_cast<std::size_t>(highest);
    const std::string attribute =
        k < model.attributeNames().size() ? model.attributeNames()[k] : integerText(highest);
    throw LadError("The model's patterns use attribute " + integerText(highest + 1) + " (" +
                   attribute + "), but the data table has " + integerText(columns) +
                   " attribute column(s)");
  }
}

std::string oneSidedModelWarning(const std::string& modelFile, PatternCounts counts) {
  if (counts.positive > 0 && counts.negative > 0) return "";
  if (counts.positive == 0 && counts.negative == 0) {
    return "The model " + modelFile + " has no patterns: every score is 0";
  }
  const bool noPositive = counts.positive == 0;
  return "The model " + modelFile + " has no " + (noPositive ? "positive" : "negative") +
         " patterns, so its scores count only the " + (noPositive ? "negative" : "positive") +
         " ones; check that the file is complete";
}

std::string forecastLine(const std::string& nameField, const std::string& classField, double score,
                         const NumberFormat& format) {
  return nameField + "," + classField + "," + numberText(score, format);
}

std::optional<TableLayout> storedLayout(const std::string& name) {
  const std::string filename = layoutFileName(name);
  if (!std::filesystem::exists(filename)) return std::nullopt;
  return TableLayout::fromText(readFileBytes(filename), filename);
}

std::string twoClassField(const ReadTable& table, std::size_t r) {
  const std::string& c = table.classFields[r];
  if (c.empty()) return "";
  return c == table.layout.positive ? "1" : "0";
}

std::shared_ptr<const Model> loadModel(const std::string& name, const NumberFormat& format,
                                       const std::function<void(const std::string&)>& warning) {
  requireModelName(name);
  auto model =
      std::make_shared<const Model>(readModelFile(modelFileName(name, ModelFileKind::Model), format));
  if (warning) {
    const std::string mismatch =
        patternCountMismatch(name, model->positive().size(), model->negative().size());
    if (!mismatch.empty()) warning(mismatch);
  }
  return model;
}

void runApplyModel(const std::string& name, const std::string& tableText, const ApplyReport& report,
                   const NumberFormat& format) {
  const std::shared_ptr<const Model> loaded = loadModel(name, format, report.warning);
  const Model& model = *loaded;
  if (report.loaded) report.loaded(loaded);
  const std::string modelFile = modelFileName(name, ModelFileKind::Model);
  const PatternCounts counts{model.positive().size(), model.negative().size()};
  if (report.counts) report.counts(counts);
  const std::string warning = oneSidedModelWarning(modelFile, counts);
  if (!warning.empty() && report.warning) report.warning(warning);

  // A model learned from a table read by its layout reads its tables the same way.
  if (const std::optional<TableLayout> layout = storedLayout(name)) {
    const ReadTable table = readTableAs(tableText, "The data table", *layout, format);
    if (report.warning) {
      for (const std::string& note : table.notes) report.warning(note);
    }
    requireAttributeColumns(model, static_cast<std::int32_t>(layout->attributeColumns.size()));
    if (report.forecastCleared) report.forecastCleared();
    for (std::size_t r = 0; r < table.values.size(); ++r) {
      const double score = model.score(table.values[r]);
      if (report.forecastLine) {
        report.forecastLine(forecastLine(table.names[r], table.classFields[r], score, format));
      }
      if (report.scored) report.scored(table.names[r], twoClassField(table, r), score);
    }
    return;
  }

  const std::vector<std::string> lines = tableLines(tableText);
  requireLines(lines);
  TextList fields;
  fields.parse(tableLine(lines, 0));
  const std::int32_t headerFields = fields.size();
  const std::int32_t valueCount = headerFields - 2;
  if (valueCount < 0) throw ERangeError();
  requireAttributeColumns(model, valueCount);
  if (report.warning) {
    // Values are read by their column whatever its name; a table whose names differ from the
    // model's is most likely another kind of table, and its scores meaningless.
    std::vector<std::string> modelNames;
    for (std::size_t k = 0; k < model.cutpoints().size(); ++k) {
      modelNames.push_back(model.attributeName(k));
    }
    const std::vector<std::string> tableNames(fields.keys.begin() + 1, fields.keys.end() - 1);
    const std::string mismatch = columnMismatch(modelNames, tableNames);
    if (!mismatch.empty()) report.warning(mismatch);
  }
  if (report.forecastCleared) report.forecastCleared();

  arrreal point(static_cast<std::size_t>(valueCount), 0.0);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    fields.parse(lines[i]);
    const std::int32_t m = fields.size();
    requireNoExtraFields(m, headerFields, i + 1);
    // Every line starts from zeros, so a short line never borrows another line's values.
    std::fill(point.begin(), point.end(), 0.0);
    for (std::int32_t j = 1; j <= m - 2; ++j) {
      point[static_cast<std::size_t>(j - 1)] = tableNumber(
          fields.keys[static_cast<std::size_t>(j)], i + 1, static_cast<std::size_t>(j + 1), format);
    }
    const double score = model.score(point);
    if (report.forecastLine) {
      report.forecastLine(forecastLine(fields.keys.front(), fields.keys.back(), score, format));
    }
    if (report.scored) report.scored(fields.keys.front(), fields.keys.back(), score);
  }
}

Metrics evaluateStoredModel(const std::string& name, const std::string& tableText,
                            ApplyReport report, const NumberFormat& format) {
  std::vector<ScoredObservation> observations;
  auto scored = report.scored;
  report.scored = [&](const std::string& rowName, const std::string& classField, double score) {
    observations.push_back({evaluationClass(classField, format), score});
    if (scored) scored(rowName, classField, score);
  };
  runApplyModel(name, tableText, report, format);
  return evaluateScores(observations);
}
