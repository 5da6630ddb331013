#include "ParameterOptions.h"

void ParameterOptions::add(CLI::App* command, bool thresholds) {
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
