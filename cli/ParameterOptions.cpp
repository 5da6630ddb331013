#include "ParameterOptions.h"

#include "NumberText.h"

void ParameterOptions::add(CLI::App* command, bool thresholds, const NumberFormat& format) {
  // The shares are options of text: they are read in the number format of LC_NUMERIC, which
  // the option parser knows nothing of.
  texts_ = parameterTexts(LearningParameters{}, format);
  command->add_option("--grid-size", gridSize_, "at most this many bins per attribute")
      ->capture_default_str();
  command->add_option("--degree", degree_, "attributes per searched subset")->capture_default_str();
  if (!thresholds) return;
  command->add_option("--positive-homogeneity", texts_.positiveHomogeneity)->capture_default_str();
  command->add_option("--positive-prevalence", texts_.positivePrevalence)->capture_default_str();
  command->add_option("--negative-homogeneity", texts_.negativeHomogeneity)->capture_default_str();
  command->add_option("--negative-prevalence", texts_.negativePrevalence)->capture_default_str();
}

ParameterTexts ParameterOptions::texts() const {
  ParameterTexts texts = texts_;
  texts.gridSize = integerText(gridSize_);
  texts.degree = integerText(degree_);
  return texts;
}

LearningParameters ParameterOptions::read(const NumberFormat& format) const {
  return readParameters(texts(), format);
}
