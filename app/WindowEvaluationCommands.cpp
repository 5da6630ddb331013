// The window's Evaluation commands: Cross-validate, Tune and Use These Parameters.
#include <QTabWidget>

#include "CrossValidation.h"
#include "EvaluationPage.h"
#include "JobControl.h"
#include "JobStatusBar.h"
#include "ParameterPanel.h"
#include "QtText.h"
#include "WorkbenchWindow.h"

void WorkbenchWindow::crossValidate() {
  if (waitsForJob("Cross-validation", [this] { crossValidate(); })) return;
  const NumberFormat format = numberFormat();
  const std::optional<LearningParameters> parameters = readBoxes(panel_->boxTexts(), format);
  if (!parameters) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
  const ValidationOptions options = evaluationPage_->validationOptions();
  startJob<CrossValidationResult>(
      [=](CommandJob& job) {
        ValidationOptions control = options;
        steerBy(job, control.control);
        return ::crossValidate(*parameters, table, control, format);
      },
      [this, format](CrossValidationResult& result) {
        evaluationPage_->showCrossValidation(result, format);
        tabs_->setCurrentWidget(evaluationPage_);
        statusBar_->showMessage(
            QString("%1 folds cross-validated in %2 s: balanced accuracy %3.")
                .arg(result.folds.size())
                .arg(statusBar_->secondsTaken(), 0, 'f', 1)
                .arg(fromUtf8(metricText(result.summary.balancedAccuracy.mean, format))));
      },
      "%v of %m models");
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
  // The lists take the place of the four threshold boxes: only Grid Size and Degree count.
  const std::optional<LearningParameters> base =
      readBoxes(firstTuningSet(panel_->boxTexts(), grid, format), format);
  if (!base) return;
  const ValidationOptions options = evaluationPage_->validationOptions();
  const TuningCriterion criterion = evaluationPage_->criterion();
  using Ranked = std::vector<CrossValidationResult>;
  startJob<Ranked>(
      [=](CommandJob& job) {
        ValidationOptions control = options;
        steerBy(job, control.control);
        return tuneParameters(*base, grid, table, control, criterion, format);
      },
      [this, criterion, format](Ranked& ranked) {
        evaluationPage_->showTuning(ranked, criterion, format);
        tabs_->setCurrentWidget(evaluationPage_);
        statusBar_->showMessage(
            QString("%1 parameter sets tuned with %2 builds in %3 s; choose a row and Use These "
                    "Parameters.")
                .arg(ranked.size())
                .arg(ranked.size() * (ranked.empty() ? 0 : ranked.front().folds.size()))
                .arg(statusBar_->secondsTaken(), 0, 'f', 1));
      },
      "%v of %m models");
}

void WorkbenchWindow::useTunedParameters() {
  const std::optional<LearningParameters> chosen = evaluationPage_->selectedSet();
  if (!chosen) return;
  panel_->showParameters(*chosen, numberFormat());
  statusBar_->showMessage("The parameter boxes hold the chosen set; Build Model learns with it.");
}
