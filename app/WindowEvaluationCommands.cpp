// The window's Evaluation commands: Cross-validate, Tune and Use These Parameters.
#include <QTabWidget>

#include "CrossValidation.h"
#include "EvaluationPage.h"
#include "JobControl.h"
#include "JobStatusBar.h"
#include "ParameterPanel.h"
#include "QtText.h"
#include "WorkbenchWindow.h"

namespace {

// A run estimated to take longer than this asks before it starts.
constexpr double kConfirmAboveSeconds = 60;

// The cross-validation's undecided rule: the larger class of the table in the data box, which
// every fold learns from, when that is the rule chosen.
ValidationOptions withUndecidedClass(ValidationOptions options, UndecidedRule rule,
                                     const std::string& table, const NumberFormat& format) {
  if (rule == UndecidedRule::LargerClass) {
    const std::optional<ClassCounts> classes =
        tableClassCounts(table, options.source, options.reading, format);
    options.undecidedAs = undecidedClass(rule, classes ? &*classes : nullptr);
  }
  return options;
}

// A cross-validation or tune in the run history, with its mean figures.
RunRecord validationRun(const std::string& kind, const CrossValidationResult& result,
                        double seconds) {
  RunRecord run;
  run.kind = kind;
  run.parameters = parametersSummary(result.parameters);
  run.positivePatterns = result.summary.positivePatterns.mean;
  run.negativePatterns = result.summary.negativePatterns.mean;
  run.accuracy = result.summary.accuracy.mean;
  run.balancedAccuracy = result.summary.balancedAccuracy.mean;
  run.auc = result.summary.auc.mean;
  run.undecidedShare = result.summary.undecidedShare.mean;
  run.seconds = seconds;
  return run;
}

}  // namespace

void WorkbenchWindow::startAfterEstimate(std::function<ValidationCost()> estimate,
                                         const QString& what, std::function<void()> start) {
  startJob<ValidationCost>(
      [estimate = std::move(estimate)](CommandJob&) { return estimate(); },
      [this, what, start = std::move(start)](ValidationCost& cost) {
        if (cost.seconds > kConfirmAboveSeconds &&
            !ask_(what + " will take " + fromUtf8(validationCostText(cost)) +
                  " (an estimate from the table's size, the Grid Size, the Degree and the "
                  "Folds; pruning often makes it quicker). Start it?")) {
          statusBar_->showMessage(what + " not started.");
          return;
        }
        start();
      },
      "Estimating the cost");
}

void WorkbenchWindow::crossValidate() {
  if (waitsForJob("Cross-validation", [this] { crossValidate(); })) return;
  const NumberFormat format = numberFormat();
  const std::optional<LearningParameters> parameters = readBoxes(panel_->boxTexts(), format);
  if (!parameters) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
  ValidationOptions options = evaluationPage_->validationOptions();
  const TableReadingTaken reading = takeReading(table);
  options.reading = reading.reading;
  options.source = reading.source;
  const UndecidedRule rule = evaluationPage_->undecidedRule();
  const auto run = [=, this] {
    startJob<CrossValidationResult>(
        [=](CommandJob& job) {
          ValidationOptions control = withUndecidedClass(options, rule, table, format);
          steerBy(job, control.control);
          return ::crossValidate(*parameters, table, control, format);
        },
        [this, format](CrossValidationResult& result) {
          evaluationPage_->showCrossValidation(result, format);
          tabs_->setCurrentWidget(evaluationPage_);
          const std::string decided = undecidedSentence(result.pooled);
          statusBar_->showMessage(
              QString("%1 folds cross-validated in %2 s: balanced accuracy %3.")
                  .arg(result.folds.size())
                  .arg(statusBar_->secondsTaken(), 0, 'f', 1)
                  .arg(fromUtf8(metricText(result.summary.balancedAccuracy.mean, format))) +
              (decided.empty() ? QString() : " " + fromUtf8(decided)));
          recordRun(validationRun("cross-validation", result, statusBar_->secondsTaken()));
        },
        "%v of %m models");
  };
  startAfterEstimate([=] { return crossValidationCost(*parameters, table, options, format); },
                     "The cross-validation", run);
}

void WorkbenchWindow::tune() {
  if (waitsForJob("Tuning", [this] { tune(); })) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
  const NumberFormat format = numberFormat();
  TuningGrid grid;
  try {
    grid = readTuningGrid(evaluationPage_->listTexts(), format);
  } catch (const ParameterError& e) {
    statusBar_->clearMessage();
    reportFailure(e);
    evaluationPage_->listBox(e.field)->setFocus();
    return;
  }
  // The degrees, selections and cut points tried besides the thresholds; empty lists keep the
  // panel's own.
  for (QLineEdit* box : {evaluationPage_->degreeList(), evaluationPage_->selectionList()}) {
    try {
      const std::string text = toUtf8(box->text());
      if (box == evaluationPage_->degreeList()) {
        grid.degrees = readDegreeList(text);
      } else {
        grid.coverTargets = readSelectionList(text);
      }
    } catch (const std::exception& e) {
      statusBar_->clearMessage();
      reportFailure(e);
      box->setFocus();
      return;
    }
  }
  if (evaluationPage_->bothCutPoints()) {
    grid.discretizations = {Discretization::EqualFrequency, Discretization::ClassAware};
  }
  // The lists take the place of the four threshold boxes: only Grid Size and Degree count,
  // with the selection and cut points chosen beside them.
  const std::optional<LearningParameters> base =
      readBoxes(firstTuningSet(panel_->boxTexts(), grid, format), format);
  if (!base) return;
  ValidationOptions options = evaluationPage_->validationOptions();
  const TableReadingTaken reading = takeReading(table);
  options.reading = reading.reading;
  options.source = reading.source;
  const UndecidedRule rule = evaluationPage_->undecidedRule();
  const TuningCriterion criterion = evaluationPage_->criterion();
  using Ranked = std::vector<CrossValidationResult>;
  const auto run = [=, this] {
    startJob<Ranked>(
        [=](CommandJob& job) {
          ValidationOptions control = withUndecidedClass(options, rule, table, format);
          steerBy(job, control.control);
          return tuneParameters(*base, grid, table, control, criterion, format);
        },
        [this, criterion, format](Ranked& ranked) {
          evaluationPage_->showTuning(ranked, criterion, format);
          tabs_->setCurrentWidget(evaluationPage_);
          statusBar_->showMessage(
              QString("%1 parameter sets tuned with %2 builds in %3 s; choose a row and Use "
                      "These Parameters.")
                  .arg(ranked.size())
                  .arg(ranked.size() * (ranked.empty() ? 0
                                                       : ranked.front().folds.size() *
                                                             ranked.front().modelsPerFold()))
                  .arg(statusBar_->secondsTaken(), 0, 'f', 1));
          if (!ranked.empty()) {
            recordRun(validationRun("tune (best of " + std::to_string(ranked.size()) + ")",
                                    ranked.front(), statusBar_->secondsTaken()));
          }
        },
        "%v of %m models");
  };
  startAfterEstimate([=] { return tuningCost(*base, grid, table, options, format); }, "Tuning",
                     run);
}

void WorkbenchWindow::useTunedParameters() {
  const std::optional<LearningParameters> chosen = evaluationPage_->selectedSet();
  if (!chosen) return;
  panel_->showParameters(*chosen, numberFormat());
  statusBar_->showMessage("The parameter boxes hold the chosen set; Build Model learns with it.");
}
