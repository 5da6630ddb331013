#include "ModelAdvice.h"

#include <algorithm>
#include <cmath>

#include "Intake.h"
#include "NumberText.h"

namespace {

// A pattern without a condition has an empty field for every attribute: only commas.
bool coversEverything(const PatternSet& side) {
  return side.size() == 1 && side.key(0).find_first_not_of(',') == std::string_view::npos;
}

std::string shown(double value, const Model& model) {
  return numberText(value, model.format());
}

}  // namespace

std::string modelAdvice(const Model& model, const TrainingTable& table,
                        const LearningParameters& parameters) {
  if (parameters.discretization == Discretization::ClassAware) {
    const arrint bins = model.grid().binCounts();
    if (std::count(bins.begin(), bins.end(), 1) == static_cast<std::ptrdiff_t>(bins.size())) {
      return "The class-aware cut points split no attribute of this table: nowhere do the "
             "classes change with the values clearly enough for " +
             integerText(static_cast<std::int64_t>(table.rows())) +
             " observations. Use equal-frequency cut points, or a larger table.";
    }
  }
  const std::int32_t positives = table.positives();
  const std::int64_t observations = std::int64_t{positives} + table.negatives();
  const double share = observations > 0 ? static_cast<double>(positives) / observations : 0;
  const std::string all = integerText(observations);
  std::string advice;
  auto say = [&](const std::string& sentence) { advice += (advice.empty() ? "" : " ") + sentence; };
  using F = ParameterField;
  if (model.positive().empty()) {
    say(std::string("No positive pattern was found; try a ") +
        parameterCaption(F::PositiveHomogeneity) + " below " +
        shown(parameters.positiveHomogeneity, model) + " or a " +
        parameterCaption(F::PositivePrevalence) + " below " +
        shown(parameters.positivePrevalence, model) + ".");
  } else if (coversEverything(model.positive())) {
    // The whole table's positive share passes the threshold: ask for more than that share.
    const double better = std::min(0.95, std::ceil(share * 10 + 1e-9) / 10);
    say(std::string(parameterCaption(F::PositiveHomogeneity)) + " " +
        shown(parameters.positiveHomogeneity, model) + " lets one box cover all " + all +
        " observations; try " + shown(better, model) + ".");
  }
  if (model.negative().empty()) {
    say(std::string("No negative pattern was found; try a ") +
        parameterCaption(F::NegativeHomogeneity) + " above " +
        shown(parameters.negativeHomogeneity, model) + " or a " +
        parameterCaption(F::NegativePrevalence) + " below " +
        shown(parameters.negativePrevalence, model) + ".");
  } else if (coversEverything(model.negative())) {
    const double better = std::max(0.05, std::floor(share * 10 - 1e-9) / 10);
    say(std::string(parameterCaption(F::NegativeHomogeneity)) + " " +
        shown(parameters.negativeHomogeneity, model) + " lets one box cover all " + all +
        " observations; try " + shown(better, model) + ".");
  }
  return advice;
}
