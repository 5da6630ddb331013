#include "BuildArguments.h"

#include <clocale>
#include <iostream>
#include <iterator>

#include "LadError.h"
#include "NumberText.h"
#include "SampleTable.h"
#include "TextFile.h"

LearningParameters BuildArguments::learningParameters() const {
  LearningParameters result = parameters;
  result.gridSize = std::to_string(gridSize);
  result.degree = std::to_string(degree);
  return result;
}

CLI::App* addBuildCommand(CLI::App& app, BuildArguments& arguments) {
  CLI::App* build =
      app.add_subcommand("build", "Learn a model from TABLE and write its four files");
  LearningParameters& parameters = arguments.parameters;
  build->add_option("TABLE", arguments.table,
                    "data table file (default: the sample table; - for stdin)");
  build->add_option("--grid-size", arguments.gridSize, "at most this many bins per attribute")
      ->capture_default_str();
  build->add_option("--degree", arguments.degree, "attributes per searched subset")
      ->capture_default_str();
  build->add_option("--positive-homogeneity", parameters.positiveHomogeneity)
      ->capture_default_str();
  build->add_option("--positive-prevalence", parameters.positivePrevalence)->capture_default_str();
  build->add_option("--negative-homogeneity", parameters.negativeHomogeneity)
      ->capture_default_str();
  build->add_option("--negative-prevalence", parameters.negativePrevalence)->capture_default_str();
  build->add_option("--name", arguments.name, "model name NAME (files NAME.MOD, ...)")
      ->capture_default_str();
  build->add_flag("--quiet", arguments.quiet, "no progress line on a terminal");
  build
      ->add_option("--threads", arguments.threads,
                   "threads that search patterns (default: all cores)")
      ->check(CLI::NonNegativeNumber);
  return build;
}

std::string readTable(const std::string& table) {
  if (table.empty()) return sampleTable();
  if (table == "-") {
    return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  }
  return readTextFile(table);
}

void useLocaleDecimalSeparator() {
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && *point != '\0') setDecimalSeparator(point);
  }
}

void printWarning(const std::string& text) {
  std::cerr << "Warning: " << messageWithFullStop(text) << "\n";
}
