// Fuzzes Build Model followed by Apply Model. The input bytes choose a small table (1 to 8
// observations of 1 to 4 attributes, values and classes from short lists, line ends, spaces
// and short lines) and the six parameters. A build that succeeds must leave files that agree
// with each other and with Apply Model on the same table:
// - Apply loads the model and reports the pattern counts the build returned;
// - it forecasts every observation, with the score that the build's pattern space (NAME.PAT)
//   gives: the share of positive patterns satisfied minus the share of negative ones;
// - the cutpoints of NAME.MOD ascend, are fewer than the grid size, and put every value in the
//   bin that NAME.GRD reports: the number of cutpoints at or below it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "FuzzSupport.h"
#include "LadError.h"
#include "ModelFiles.h"
#include "NumberText.h"

namespace {

struct Value {
  const char* text;
  double number;
};
// Short decimals only: their cutpoints survive the 15-digit text of NAME.MOD unchanged, so the
// loaded model bins every value as the build did.
constexpr Value kValues[] = {{"0", 0},       {"1", 1},         {"2", 2},       {"3", 3},
                             {"0.5", 0.5},   {"-1", -1},       {"1.5", 1.5},   {"10", 10},
                             {"1E-5", 1e-5}, {"-0.25", -0.25}, {"2.75", 2.75}, {"100", 100}};
constexpr double kThresholds[] = {0, 0.1, 0.25, 0.4, 0.5, 0.6, 0.9, 1};
constexpr const char* kClasses[] = {"0", "1", "2"};

struct Case {
  LearningParameters parameters;
  std::int32_t grid = 0;
  std::size_t attributes = 0;
  std::vector<std::vector<double>> values;  // per observation, missing values as 0
  std::string table;
};

Case decode(FuzzedDataProvider& in) {
  Case c;
  c.attributes = in.ConsumeIntegralInRange<std::size_t>(1, 4);
  const std::size_t rows = in.ConsumeIntegralInRange<std::size_t>(1, 8);
  c.grid = in.ConsumeIntegralInRange<std::int32_t>(1, 4);
  c.parameters.gridSize = c.grid;
  c.parameters.degree = in.ConsumeIntegralInRange<std::int32_t>(1, 3);
  c.parameters.positiveHomogeneity = in.PickValueInArray(kThresholds);
  c.parameters.positivePrevalence = in.PickValueInArray(kThresholds);
  c.parameters.negativeHomogeneity = in.PickValueInArray(kThresholds);
  c.parameters.negativePrevalence = in.PickValueInArray(kThresholds);
  const std::string end = in.ConsumeBool() ? "\r\n" : "\n";

  c.table = "Name";
  for (std::size_t k = 1; k <= c.attributes; ++k) c.table += ",A" + std::to_string(k);
  c.table += ",Class";
  for (std::size_t r = 0; r < rows; ++r) {
    c.table += end + "o" + std::to_string(r + 1);
    // Now and then a short line, whose missing trailing values read as 0.
    const std::size_t present =
        c.attributes - (in.ConsumeIntegralInRange<int>(0, 7) == 7
                            ? in.ConsumeIntegralInRange<std::size_t>(1, c.attributes)
                            : 0);
    std::vector<double> row(c.attributes, 0.0);
    for (std::size_t k = 0; k < present; ++k) {
      const Value& v = in.PickValueInArray(kValues);
      row[k] = v.number;
      const bool spaced = in.ConsumeIntegralInRange<int>(0, 7) == 7;
      c.table += spaced ? std::string(", ") + v.text + " " : std::string(",") + v.text;
    }
    c.table += std::string(",") + in.PickValueInArray(kClasses);
    c.values.push_back(std::move(row));
  }
  if (in.ConsumeBool()) c.table += end;
  return c;
}

// The lines of a file written with CR LF ends, each cut into its comma-separated fields.
std::vector<std::vector<std::string>> fieldsOfLines(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
      const std::size_t comma = line.find(',', from);
      fields.push_back(line.substr(from, comma - from));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    lines.push_back(std::move(fields));
    start = end + 1;
  }
  return lines;
}

std::string forecastScore(const std::string& line) {
  return line.substr(line.rfind(',') + 1);
}

// The scores the pattern space gives, in the number text form.
std::vector<std::string> scoresOfPatternSpace(const std::string& patText, PatternCounts counts,
                                              std::size_t rows) {
  const auto lines = fieldsOfLines(patText);
  const auto patterns = static_cast<std::size_t>(counts.positive + counts.negative);
  if (lines.size() != rows + 1 || lines[0].size() != patterns + 1) {
    propertyFailed("NAME.PAT has " + std::to_string(lines.size()) + " lines of " +
                   std::to_string(lines.empty() ? 0 : lines[0].size()) + " fields for " +
                   std::to_string(rows) + " observations and " + std::to_string(patterns) +
                   " patterns\n" + patText);
  }
  std::vector<std::string> scores;
  for (std::size_t r = 1; r < lines.size(); ++r) {
    if (lines[r].size() != patterns + 1) propertyFailed("NAME.PAT line is short\n" + patText);
    std::int32_t p = 0;
    std::int32_t n = 0;
    for (std::size_t j = 0; j < patterns; ++j) {
      if (lines[r][j + 1] != "1") continue;
      if (j < static_cast<std::size_t>(counts.positive)) {
        ++p;
      } else {
        ++n;
      }
    }
    double score = 0.0;
    if (counts.positive > 0) score = score + static_cast<double>(p) / counts.positive;
    if (counts.negative > 0) score = score - static_cast<double>(n) / counts.negative;
    scores.push_back(numberText(score, NumberFormat{}));
  }
  return scores;
}

// The cutpoints of each "Cutpoints_Att_K=" line of NAME.MOD, in line order.
std::vector<std::vector<double>> cutpointsOfModel(const std::string& modText) {
  const std::string prefix = "Cutpoints_Att_";
  std::vector<std::vector<double>> cutpoints;
  for (const auto& fields : fieldsOfLines(modText)) {
    if (fields[0].rfind(prefix, 0) != 0) continue;
    std::vector<double> row;
    const std::string first = fields[0].substr(fields[0].find('=') + 1);
    if (!first.empty()) row.push_back(std::stod(first));
    for (std::size_t i = 1; i < fields.size(); ++i) row.push_back(std::stod(fields[i]));
    cutpoints.push_back(std::move(row));
  }
  return cutpoints;
}

void checkDiscretization(const Case& c, const std::string& modText, const std::string& grdText) {
  const std::vector<std::vector<double>> cutpoints = cutpointsOfModel(modText);
  if (cutpoints.size() != c.attributes) {
    propertyFailed("NAME.MOD has " + std::to_string(cutpoints.size()) + " cutpoint lines for " +
                   std::to_string(c.attributes) + " attributes\n" + modText);
  }
  for (std::size_t k = 0; k < c.attributes; ++k) {
    const std::vector<double>& cuts = cutpoints[k];
    if (cuts.size() >= static_cast<std::size_t>(c.grid)) {
      propertyFailed("attribute " + std::to_string(k) + " has " + std::to_string(cuts.size()) +
                     " cutpoints for grid size " + std::to_string(c.grid) + "\n" + modText);
    }
    for (std::size_t i = 1; i < cuts.size(); ++i) {
      if (!(cuts[i - 1] < cuts[i])) {
        propertyFailed("the cutpoints of attribute " + std::to_string(k) + " do not ascend\n" +
                       modText);
      }
    }
  }
  const auto lines = fieldsOfLines(grdText);
  if (lines.size() != c.values.size() + 1) propertyFailed("NAME.GRD has a wrong line count");
  for (std::size_t r = 0; r < c.values.size(); ++r) {
    const auto& fields = lines[r + 1];
    if (fields.size() != c.attributes + 1) propertyFailed("NAME.GRD has a wrong field count");
    for (std::size_t k = 0; k < c.attributes; ++k) {
      std::size_t bin = 0;
      for (const double cut : cutpoints[k]) bin += cut <= c.values[r][k] ? 1 : 0;
      if (fields[k + 1] != std::to_string(bin)) {
        propertyFailed("observation " + std::to_string(r + 1) + ", attribute " + std::to_string(k) +
                       ": NAME.GRD says bin " + fields[k + 1] + ", the cutpoints give bin " +
                       std::to_string(bin));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const Case c = decode(in);
  static const std::string name = scratchFolder() + "/M";
  for (const ModelFileKind kind : kModelFileKinds) {
    std::filesystem::remove(modelFileName(name, kind));
  }

  BuildOptions options;
  options.format = NumberFormat{};
  options.control.threads = 1;
  // The plain form's build and apply; the other forms' reading has its own target.
  options.plainTable = true;
  PatternCounts built;
  try {
    built = runBuildModel(c.parameters, c.table, name, nullptr, options);
  } catch (const LadError&) {
    return 0;
  }

  int countReports = 0;
  PatternCounts loaded;
  bool cleared = false;
  std::vector<std::string> forecast;
  ApplyReport report;
  report.counts = [&](PatternCounts counts) {
    ++countReports;
    loaded = counts;
  };
  report.forecastCleared = [&] { cleared = true; };
  report.forecastLine = [&](const std::string& line) { forecast.push_back(line); };
  try {
    runApplyModel(name, c.table, report, NumberFormat{});
  } catch (const LadError& e) {
    propertyFailed(std::string("Apply Model fails on the model just built: ") + e.what() +
                   "\n--- table:\n" + c.table);
  }
  if (countReports != 1 || loaded.positive != built.positive || loaded.negative != built.negative ||
      !cleared || forecast.size() != c.values.size()) {
    propertyFailed("built " + std::to_string(built.positive) + "+" +
                   std::to_string(built.negative) + " patterns, Apply reported " +
                   std::to_string(countReports) + " time(s) " + std::to_string(loaded.positive) +
                   "+" + std::to_string(loaded.negative) + " and " +
                   std::to_string(forecast.size()) + " forecast lines for " +
                   std::to_string(c.values.size()) + " observations\n--- table:\n" + c.table);
  }

  const std::vector<std::string> expected = scoresOfPatternSpace(
      readBytes(modelFileName(name, ModelFileKind::PatternSpace)), built, c.values.size());
  for (std::size_t r = 0; r < forecast.size(); ++r) {
    if (forecastScore(forecast[r]) != expected[r]) {
      propertyFailed("observation " + std::to_string(r + 1) + " scores " + forecast[r] +
                     " in Apply, " + expected[r] + " by NAME.PAT\n--- table:\n" + c.table +
                     "\n--- NAME.MOD:\n" + readBytes(modelFileName(name, ModelFileKind::Model)));
    }
  }

  checkDiscretization(c, readBytes(modelFileName(name, ModelFileKind::Model)),
                      readBytes(modelFileName(name, ModelFileKind::Discretized)));
  return 0;
}
