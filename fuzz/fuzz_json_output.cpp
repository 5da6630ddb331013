// Fuzzes every --json printer of the command line with names of any bytes: lad patterns
// (writePatternList), lad evaluate (metricsJson), lad cv (crossValidationJson) and lad tune
// (tuningJson, with the build line of a table file name of any bytes). The input gives a small
// model and table (FuzzModel.h), the classes of the rows, figures (NaN and infinities
// included) and the file name. Each printed document must parse as strict JSON (UTF-8, no
// NaN), hold one object per listed pattern, and keep every name that is UTF-8 as it is.
#include <oneapi/tbb/global_control.h>

#include <nlohmann/json.hpp>

#include "EvaluationOutput.h"
#include "FuzzModel.h"
#include "FuzzSupport.h"
#include "JsonText.h"
#include "LadError.h"
#include "NameText.h"
#include "PatternReport.h"
#include "PatternTable.h"
#include "ValidationReport.h"

namespace {

// One thread: waking the pattern statistics' workers for a table of a few rows costs more than
// the work, most of the run's time when the machine is busy.
const tbb::global_control kOneThread(tbb::global_control::max_allowed_parallelism, 1);

nlohmann::json parsed(const std::string& text, const char* printer) {
  try {
    return nlohmann::json::parse(text);
  } catch (const nlohmann::json::exception& e) {
    propertyFailed(std::string(printer) + " printed no valid JSON (" + e.what() + "):\n" + text);
  }
}

double figure(FuzzedDataProvider& in) {
  static const double kSpecial[] = {0.0, 1.0, 0.5, -0.0, std::nan(""), HUGE_VAL, -HUGE_VAL};
  return in.ConsumeBool() ? in.PickValueInArray(kSpecial) : in.ConsumeFloatingPoint<double>();
}

void checkPatterns(const FuzzModel& m, FuzzedDataProvider& in) {
  std::string tableText = "Name";
  for (std::size_t k = 0; k < m.names.size(); ++k) tableText += ",A" + std::to_string(k + 1);
  tableText += ",Class\n";
  for (std::size_t r = 0; r < m.rows.size(); ++r) {
    tableText += "o" + std::to_string(r + 1);
    for (const double v : m.rows[r]) tableText += "," + exactNumberText(v, NumberFormat{"."});
    tableText += "," + std::to_string(in.ConsumeIntegralInRange<int>(0, 2)) + "\n";
  }
  const NumberFormat dot{"."};
  const PatternTable table(ModelRules(m.model, dot), ObservationTable::read(tableText, dot));
  static constexpr PatternSortKey kKeys[] = {PatternSortKey::Model, PatternSortKey::Prevalence,
                                             PatternSortKey::Homogeneity, PatternSortKey::Coverage,
                                             PatternSortKey::Degree};
  const std::vector<std::int32_t> order = table.sortedOrder(in.PickValueInArray(kKeys));
  std::string text;
  writePatternList(table, order, PatternListFormat::Json,
                   [&](std::string_view piece) { text += piece; });
  const nlohmann::json list = parsed(text, "lad patterns --json");
  if (!list.is_array() || list.size() != order.size()) {
    propertyFailed("lad patterns --json does not list every pattern:\n" + text);
  }
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::vector<Condition> conditions = table.rules().conditions(order[i]);
    const nlohmann::json& listed = list[i]["conditions"];
    if (listed.size() != conditions.size()) propertyFailed("a pattern lost conditions:\n" + text);
    for (std::size_t j = 0; j < conditions.size(); ++j) {
      const std::string& name = m.names[static_cast<std::size_t>(conditions[j].attribute)];
      if (isUtf8(name) && listed[j]["attribute"].get<std::string>() != name) {
        propertyFailed("lad patterns --json changed the name '" + name + "':\n" + text);
      }
    }
  }
}

Metrics metrics(const FuzzModel& m, FuzzedDataProvider& in) {
  std::vector<ScoredObservation> observations;
  for (const auto& row : m.rows) {
    const int cls = in.ConsumeIntegralInRange<int>(0, 2);
    observations.push_back({cls == 2 ? kOtherClass : cls, m.model->score(row)});
  }
  return evaluateScores(observations);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const FuzzModel m = fuzzModel(in);
  checkPatterns(m, in);

  const Metrics evaluated = metrics(m, in);
  parsed(jsonText(metricsJson(evaluated), 2), "lad evaluate --json");

  CrossValidationResult result;
  // The shares of a parameter set lie in 0..1 by their type.
  result.parameters = {in.ConsumeIntegral<std::int32_t>(),
                       in.ConsumeIntegral<std::int32_t>(),
                       in.ConsumeProbability<double>(),
                       in.ConsumeProbability<double>(),
                       in.ConsumeProbability<double>(),
                       in.ConsumeProbability<double>()};
  result.folds.push_back({evaluated, in.ConsumeIntegral<std::int32_t>(), 0, figure(in), {}});
  result.summary.accuracy = {figure(in), figure(in)};
  result.summary.auc = {figure(in), figure(in)};
  result.pooled = evaluated;
  ValidationOptions options;
  options.folds = in.ConsumeIntegral<std::int32_t>();
  options.seed = in.ConsumeIntegral<std::uint64_t>();
  parsed(jsonText(crossValidationJson(result, options), 2), "lad cv --json");

  // A table of several classes, named by any bytes: the folds and the pooled rows have the
  // classes' figures in place of the two-class ones.
  CrossValidationResult classes = result;
  std::vector<std::string> names;
  const int classCount = in.ConsumeIntegralInRange<int>(1, 4);
  for (int c = 0; c < classCount; ++c) names.push_back(fuzzName(in));
  std::vector<ClassForecast> rows;
  for (const auto& row : m.rows) {
    ClassForecast forecast;
    const int truth = in.ConsumeIntegralInRange<int>(-1, classCount - 1);
    if (truth >= 0) forecast.classField = names[static_cast<std::size_t>(truth)];
    for (int c = 0; c < classCount; ++c)
      forecast.scores.push_back(figure(in) * m.model->score(row));
    forecast.forecast = forecastClass(forecast.scores);
    rows.push_back(std::move(forecast));
  }
  classes.pooled = Metrics{};
  classes.pooledClasses = evaluateClassForecasts(names, rows);
  classes.folds.front().classMetrics = classes.pooledClasses;
  classes.summary.macroF1 = {figure(in), figure(in)};
  parsed(jsonText(crossValidationJson(classes, options), 2), "lad cv --json of several classes");
  parsed(jsonText(tuningJson({classes, result}, options, TuningCriterion::Auc, ""), 2),
         "lad tune --json of several classes");

  const std::string tableName = fuzzName(in);
  const std::string line = buildCommandLine(tableName, result.parameters, NumberFormat{"."});
  const nlohmann::json tuned = parsed(
      jsonText(tuningJson({result}, options, TuningCriterion::Auc, line), 2), "lad tune --json");
  if (isUtf8(line) && tuned["best_build_command"].get<std::string>() != line) {
    propertyFailed("lad tune --json changed the build line " + line);
  }
  return 0;
}
