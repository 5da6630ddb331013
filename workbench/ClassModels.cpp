#include "ClassModels.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "ApplyModel.h"
#include "Evaluation.h"
#include "LineFile.h"

bool hasClassModels(const std::string& name) {
  return std::filesystem::exists(classIndexFileName(name));
}

LoadedClassModels loadClassModels(const std::string& name, const NumberFormat& format,
                                  const std::function<void(const std::string&)>& warning) {
  const std::string indexFile = classIndexFileName(name);
  LoadedClassModels loaded;
  loaded.index = ClassIndex::fromText(readFileBytes(indexFile), indexFile);
  const std::filesystem::path folder = std::filesystem::path(name).parent_path();
  for (const std::string& model : loaded.index.models) {
    loaded.models.push_back(loadModel((folder / model).string(), format, warning));
    requireAttributeColumns(*loaded.models.back(),
                            static_cast<std::int32_t>(loaded.index.layout.attributeColumns.size()));
  }
  return loaded;
}

std::size_t forecastClass(const std::vector<double>& scores) {
  return static_cast<std::size_t>(std::max_element(scores.begin(), scores.end()) - scores.begin());
}

ClassForecasts applyClassModels(const std::string& name, const std::string& tableText,
                                const NumberFormat& format) {
  ClassForecasts out;
  LoadedClassModels loaded = loadClassModels(name, format);
  out.index = std::move(loaded.index);
  const std::vector<std::shared_ptr<const Model>>& models = loaded.models;
  const ReadTable table = readTableAs(tableText, "The data table", out.index.layout, format);
  out.notes = table.notes;
  for (std::size_t r = 0; r < table.values.size(); ++r) {
    ClassForecast row{table.names[r], table.classFields[r], {}, 0};
    for (const auto& model : models) row.scores.push_back(model->score(table.values[r]));
    row.forecast = forecastClass(row.scores);
    out.rows.push_back(std::move(row));
  }
  return out;
}

std::string classForecastLine(const ClassForecasts& forecasts, const ClassForecast& row,
                              const NumberFormat& format) {
  std::string line = row.name + "," + row.classField + "," +
                     numberText(row.scores[row.forecast], format) + "," +
                     forecasts.index.layout.classes[row.forecast];
  for (const double score : row.scores) line += "," + numberText(score, format);
  return line;
}

ClassMetrics evaluateClassForecasts(const ClassForecasts& forecasts) {
  return evaluateClassForecasts(forecasts.index.layout.classes, forecasts.rows);
}

ClassMetrics evaluateClassForecasts(const std::vector<std::string>& classes,
                                    const std::vector<ClassForecast>& rows) {
  ClassMetrics m;
  m.classes = classes;
  const std::size_t k = m.classes.size();
  m.confusion.assign(k, std::vector<std::int64_t>(k, 0));
  std::vector<std::vector<ScoredObservation>> oneAgainstRest(k);
  for (const ClassForecast& row : rows) {
    const auto at = std::find(m.classes.begin(), m.classes.end(), row.classField);
    if (at == m.classes.end()) {
      ++m.unclassed;
      continue;
    }
    const auto truth = static_cast<std::size_t>(at - m.classes.begin());
    ++m.confusion[truth][row.forecast];
    ++m.rows;
    for (std::size_t c = 0; c < k; ++c) {
      oneAgainstRest[c].push_back({c == truth ? 1 : 0, row.scores[c]});
    }
  }
  std::int64_t correct = 0;
  double recalls = 0;
  double f1s = 0;
  std::size_t present = 0;
  for (std::size_t c = 0; c < k; ++c) {
    correct += m.confusion[c][c];
    std::int64_t actual = 0;
    std::int64_t forecast = 0;
    for (std::size_t o = 0; o < k; ++o) {
      actual += m.confusion[c][o];
      forecast += m.confusion[o][c];
    }
    if (actual > 0) {
      recalls += static_cast<double>(m.confusion[c][c]) / static_cast<double>(actual);
      ++present;
    }
    const std::int64_t both = actual + forecast;
    f1s += both > 0 ? 2.0 * static_cast<double>(m.confusion[c][c]) / static_cast<double>(both) : 0;
    m.auc.push_back(evaluateScores(oneAgainstRest[c]).auc);
  }
  const double nan = std::nan("");
  m.accuracy = m.rows > 0 ? static_cast<double>(correct) / static_cast<double>(m.rows) : nan;
  m.balancedAccuracy = present > 0 ? recalls / static_cast<double>(present) : nan;
  m.macroF1 = k > 0 && m.rows > 0 ? f1s / static_cast<double>(k) : nan;
  return m;
}

double meanClassAuc(const ClassMetrics& m) {
  double sum = 0;
  std::size_t known = 0;
  for (const double auc : m.auc) {
    if (std::isnan(auc)) continue;
    sum += auc;
    ++known;
  }
  return known > 0 ? sum / static_cast<double>(known) : std::nan("");
}

std::vector<std::string> classMetricsReport(const ClassMetrics& m, const NumberFormat& format) {
  std::vector<std::string> lines;
  lines.push_back("Observations: " + integerText(m.rows) + " of " +
                  integerText(static_cast<std::int64_t>(m.classes.size())) + " classes" +
                  (m.unclassed > 0
                       ? " (" + integerText(m.unclassed) + " without a known class left out)"
                       : std::string()));
  lines.push_back("Accuracy: " + metricText(m.accuracy, format));
  lines.push_back("Balanced accuracy: " + metricText(m.balancedAccuracy, format));
  lines.push_back("Macro F1: " + metricText(m.macroF1, format));
  lines.push_back("");
  lines.push_back("Confusion matrix (rows: class, columns: forecast):");
  std::size_t width = 5;
  for (const std::string& c : m.classes) width = std::max(width, c.size());
  auto cell = [&](const std::string& text) {
    return std::string(width + 2 > text.size() ? width + 2 - text.size() : 1, ' ') + text;
  };
  std::string head = std::string(width, ' ');
  for (const std::string& c : m.classes) head += cell(c);
  lines.push_back(head);
  for (std::size_t c = 0; c < m.classes.size(); ++c) {
    std::string line = m.classes[c] + std::string(width - m.classes[c].size(), ' ');
    for (const std::int64_t n : m.confusion[c]) line += cell(integerText(n));
    lines.push_back(line);
  }
  lines.push_back("");
  for (std::size_t c = 0; c < m.classes.size(); ++c) {
    lines.push_back("AUC of " + m.classes[c] +
                    " against the rest: " + metricText(m.auc[c], format));
  }
  return lines;
}
