#include "ParameterOptions.h"

#include <charconv>

#include "LadError.h"
#include "NumberText.h"

void ParameterOptions::add(CLI::App* command, bool thresholds, const NumberFormat& format) {
  // The shares are options of text: they are read in the number format of LC_NUMERIC, which
  // the option parser knows nothing of.
  texts_ = parameterTexts(LearningParameters{}, format);
  command->add_option("--grid-size", gridSize_, "at most this many bins per attribute")
      ->capture_default_str();
  command->add_option("--degree", degree_, "attributes per searched subset")->capture_default_str();
  command
      ->add_option("--discretize", discretization_,
                   "cut points: equal-frequency bins, or class-aware splits (minimum "
                   "description length), at most --grid-size bins each")
      ->check(CLI::IsMember({"equal-frequency", "class-aware"}))
      ->capture_default_str();
  command
      ->add_option("--select", selection_,
                   "none: keep every pattern; cover:K: keep only patterns enough that each "
                   "training observation stays covered K times (or as often as before, if less)")
      ->capture_default_str();
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
  LearningParameters parameters = readParameters(texts(), format);
  parameters.discretization = discretization_ == "class-aware" ? Discretization::ClassAware
                                                                : Discretization::EqualFrequency;
  parameters.coverTarget = readSelection(selection_);
  return parameters;
}

std::int32_t readSelection(const std::string& text) {
  if (text == "none") return 0;
  const std::string prefix = "cover:";
  if (text.rfind(prefix, 0) == 0) {
    const std::string count = text.substr(prefix.size());
    std::int32_t k = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), k);
    if (error == std::errc() && end == count.data() + count.size() && !count.empty() && k >= 1) {
      return k;
    }
  }
  throw LadError("--select: " + quotedForMessage(text) +
                 " is not a selection; use none, or cover:K with K a whole number of at "
                 "least 1 (cover:3 keeps each training observation covered three times)");
}
