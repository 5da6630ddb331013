#include "ParameterOptions.h"

#include "NumberText.h"

namespace {

// The start values are written with ".": under a locale whose decimal separator is another,
// they are written with that one, so that the defaults read as what they say.
void localize(std::string& text) {
  const std::string& separator = currentNumberFormat().decimalSeparator;
  const std::size_t point = text.find('.');
  if (point != std::string::npos && separator != ".") text.replace(point, 1, separator);
}

}  // namespace

void ParameterOptions::add(CLI::App* command, bool thresholds) {
  // Options are added before the command line is parsed: the texts are still the defaults.
  for (std::string* text : {&parameters.positiveHomogeneity, &parameters.positivePrevalence,
                            &parameters.negativeHomogeneity, &parameters.negativePrevalence}) {
    localize(*text);
  }
  command->add_option("--grid-size", gridSize, "at most this many bins per attribute")
      ->capture_default_str();
  command->add_option("--degree", degree, "attributes per searched subset")->capture_default_str();
  if (!thresholds) return;
  command->add_option("--positive-homogeneity", parameters.positiveHomogeneity)
      ->capture_default_str();
  command->add_option("--positive-prevalence", parameters.positivePrevalence)
      ->capture_default_str();
  command->add_option("--negative-homogeneity", parameters.negativeHomogeneity)
      ->capture_default_str();
  command->add_option("--negative-prevalence", parameters.negativePrevalence)
      ->capture_default_str();
}

LearningParameters ParameterOptions::values() const {
  LearningParameters p = parameters;
  p.gridSize = std::to_string(gridSize);
  p.degree = std::to_string(degree);
  return p;
}
