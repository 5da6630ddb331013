#include "EvaluationCommands.h"


#include <charconv>
#include <iostream>

#include "ApplyModel.h"
#include "ClassModels.h"
#include "ConsoleOutput.h"
#include "EvaluationOutput.h"
#include "JsonText.h"
#include "LadError.h"
#include "NameText.h"
#include "PatternRules.h"
#include "ProgressLine.h"
#include "TableInput.h"

namespace {

// The text itself is checked: the conversion to a 64-bit unsigned number would wrap "-1" round
// and clamp what is too large.
const CLI::Validator kSeedRange(
    [](const std::string& text) -> std::string {
      std::uint64_t value = 0;
      const char* end = text.data() + text.size();
      const auto [at, error] = std::from_chars(text.data(), end, value);
      if (text.empty() || at != end || error != std::errc()) {
        return "the seed must be a whole number from 0 to 18446744073709551615 (it is " +
               quotedForMessage(text) + ")";
      }
      return "";
    },
    "0..18446744073709551615");

void printLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::cout << line << "\n";
}

}  // namespace

EvaluationCommands::EvaluationCommands(CLI::App& app, const NumberFormat& format)
    : format_(format) {
  const auto common = [&](CLI::App* command) {
    command->add_option("TABLE", table_, kTableHelp);
    command->add_flag("--json", json_, "print one JSON document instead of text");
    command
        ->add_option("--undecided", undecided_,
                     "observations of score 0 (no pattern decides them): wrong, or counted as "
                     "a forecast of class 1 or 0")
        ->check(CLI::IsMember({"wrong", "1", "0"}))
        ->capture_default_str();
  };
  const auto validation = [&](CLI::App* command) {
    command->add_option("--folds", folds_, "folds of the cross-validation")
        ->capture_default_str()
        ->check(CLI::Range(2, 1000000));
    command->add_option("--seed", seed_, "seed of the random folds")
        ->capture_default_str()
        ->check(kSeedRange);
    command->add_option("--threads", threads_, "threads that build models (default: all cores)")
        ->check(CLI::NonNegativeNumber);
    command->add_flag("--quiet", quiet_, "no progress line on a terminal");
  };

  evaluate_ = app.add_subcommand(
      "evaluate", "Apply NAME.MOD to TABLE and print accuracy, AUC and the confusion matrix");
  common(evaluate_);
  name_ = kDefaultModelName;
  evaluate_->add_option("--name", name_, "model name NAME")->capture_default_str();

  cv_ = app.add_subcommand("cv", "Cross-validate the build parameters on TABLE (no files written)");
  common(cv_);
  parameters_.add(cv_, ParameterOptions::Form::Values, format_);
  validation(cv_);
  reading_.add(cv_);

  tune_ = app.add_subcommand(
      "tune", "Cross-validate every combination of the threshold lists and rank them");
  common(tune_);
  parameters_.add(tune_, ParameterOptions::Form::Lists, format_);
  lists_ = tuningListTexts(TuningGrid{}, format_);
  const auto list = [&](const char* option, std::string& text) {
    tune_->add_option(option, text, "values to try, separated by \";\" or spaces (or \",\")")
        ->capture_default_str();
  };
  list("--positive-homogeneity", lists_.positiveHomogeneity);
  list("--positive-prevalence", lists_.positivePrevalence);
  list("--negative-homogeneity", lists_.negativeHomogeneity);
  list("--negative-prevalence", lists_.negativePrevalence);
  tune_->add_option("--by", criterion_, "what ranks the sets: balanced-accuracy, accuracy or auc")
      ->check(CLI::IsMember({"balanced-accuracy", "accuracy", "auc"}))
      ->capture_default_str();
  validation(tune_);
  reading_.add(tune_);
}

bool EvaluationCommands::run() {
  if (evaluate_->parsed()) {
    evaluate();
  } else if (cv_->parsed()) {
    crossValidation();
  } else if (tune_->parsed()) {
    tune();
  } else {
    return false;
  }
  return true;
}

ValidationOptions EvaluationCommands::validationOptions() const {
  ValidationOptions options;
  options.folds = folds_;
  options.undecidedAs = undecidedAs();
  options.seed = seed_;
  options.reading = reading_.options();
  options.source = tableSource(table_);
  options.control.threads = threads_;
  options.control.progress = progressOnTerminal(quiet_ || json_, "Building models");
  return options;
}

std::int32_t EvaluationCommands::undecidedAs() const {
  return undecided_ == "1" ? 1 : undecided_ == "0" ? 0 : kOtherClass;
}

void EvaluationCommands::evaluate() {
  const NumberFormat& format = format_;
  if (hasClassModels(name_)) {
    const ClassForecasts forecasts = applyClassModels(name_, readTable(table_), format);
    for (const std::string& note : forecasts.notes) printWarning(note);
    const ClassMetrics metrics = evaluateClassForecasts(forecasts);
    if (json_) {
      std::cout << jsonText(classMetricsJson(metrics), 2) << "\n";
    } else {
      printLines(classMetricsReport(metrics, format));
    }
    return;
  }
  ApplyReport report;
  report.warning = printWarning;
  std::shared_ptr<const Model> model;
  report.loaded = [&](const std::shared_ptr<const Model>& read) { model = read; };
  Metrics metrics = evaluateStoredModel(name_, readTable(table_), report, format);
  if (undecidedAs() != kOtherClass) decideUndecided(metrics, undecidedAs());
  const ModelRules rules(model, format);
  if (json_) {
    nlohmann::ordered_json out = metricsJson(metrics);
    out["model"] = {{"positive_patterns", rules.positiveCount()},
                    {"negative_patterns", rules.negativeCount()},
                    {"conditions", rules.conditionsInAll()}};
    std::cout << jsonText(out, 2) << "\n";
  } else {
    printLines(metricsReport(metrics, format));
    std::cout << "\nModel: " << rules.positiveCount() << " positive and " << rules.negativeCount()
              << " negative patterns, " << rules.conditionsInAll() << " conditions in all\n";
  }
}

void EvaluationCommands::crossValidation() {
  const NumberFormat& format = format_;
  const ValidationOptions options = validationOptions();
  const CrossValidationResult result =
      crossValidate(parameters_.read(format), readTable(table_), options, format);
  if (json_) {
    std::cout << jsonText(crossValidationJson(result, options), 2) << "\n";
  } else {
    printLines(crossValidationReport(result, format));
  }
}

void EvaluationCommands::tune() {
  const NumberFormat& format = format_;
  TuningGrid grid = readTuningGrid(lists_, format);
  parameters_.readLists(grid);
  // Said before the builds, not after: the JSON is printed all the same.
  if (json_ && !isUtf8(table_)) {
    printWarning("The table's file name " + quotedForMessage(table_) +
                 " is not UTF-8 text; in the JSON its other bytes read as U+FFFD");
  }
  const ValidationOptions options = validationOptions();
  // The lists stand in for the threshold options: of these, tuning takes the grid size and
  // degree.
  LearningParameters base = readParameters(firstTuningSet(parameters_.texts(), grid, format), format);
  const LearningParameters given = parameters_.read(format);
  base.discretization = given.discretization;
  base.coverTarget = given.coverTarget;
  const std::vector<CrossValidationResult> ranked =
      tuneParameters(base, grid, readTable(table_), options, criterion(), format);
  const std::string best = buildCommandLine(table_, ranked.front().parameters, format);
  if (json_) {
    std::cout << jsonText(tuningJson(ranked, options, criterion(), best), 2) << "\n";
  } else {
    printLines(tuningReport(ranked, criterion(), format));
    const std::string unranked = whyUnranked(ranked, criterion());
    if (unranked.empty()) {
      std::cout << "\nBest parameters:\n" << best << "\n";
    } else {
      std::cout << "\n" << unranked << "\n";
    }
  }
}

TuningCriterion EvaluationCommands::criterion() const {
  if (criterion_ == "accuracy") return TuningCriterion::Accuracy;
  if (criterion_ == "auc") return TuningCriterion::Auc;
  return TuningCriterion::BalancedAccuracy;
}
