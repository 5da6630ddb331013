// The window's Model commands: Build Model, Load Model and Apply Model, each run as a job.
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "Evaluation.h"
#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "JobControl.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "ModelSetCheck.h"
#include "ParameterPanel.h"
#include "PatternRules.h"
#include "PatternSelection.h"
#include "QtText.h"
#include "RunHistory.h"
#include "StoredPatternCounts.h"
#include "WindowSettings.h"
#include "WorkbenchWindow.h"

namespace {

// What a finished build hands back to the window.
struct BuildOutcome {
  PatternCounts counts;
  QString warnings;
  std::optional<SelectionCounts> selection;
  std::optional<std::pair<std::int32_t, std::int32_t>> attributes;  // searched, of all
  std::optional<ClassCounts> classes;                               // of the training table
};

// What a finished Load Model hands back: the model's pattern counts, and what is wrong with its
// set of files.
struct LoadOutcome {
  std::optional<PatternCounts> counts;
  std::string mismatch;
};

// What a finished Apply Model hands back: every scored line, for the Evaluation tab.
struct ApplyOutcome {
  std::vector<ScoredRow> scored;
  QString warnings;
  QString modelSize;  // "Model: 3 positive and 2 negative patterns, 9 conditions in all"
  PatternCounts counts;
};

// The observation lines of a table text: its lines but the header, the empty ones left out.
std::int64_t tableLineCount(const std::string& table) {
  std::int64_t lines = 0;
  bool empty = true;
  for (const char c : table) {
    if (c == '\n') {
      lines += empty ? 0 : 1;
      empty = true;
    } else if (c != '\r') {
      empty = false;
    }
  }
  lines += empty ? 0 : 1;
  return std::max<std::int64_t>(0, lines - 1);
}

// Warnings of a command as the status bar shows them, each a sentence.
void addWarning(QString& warnings, const std::string& text) {
  warnings += fromUtf8(messageWithFullStop(text)) + " ";
}

}  // namespace

void WorkbenchWindow::buildModel() {
  if (waitsForJob("Build Model", [this] { buildModel(); })) return;
  // Everything the build reads from the window is taken here, on the window's thread.
  BuildOptions taken;
  taken.format = numberFormat();
  const std::optional<LearningParameters> parameters = readBoxes(panel_->boxTexts(), taken.format);
  if (!parameters) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
  const TableReadingTaken reading = takeReading(table);
  taken.reading = reading.reading;
  taken.source = reading.source;
  const std::string name = toUtf8(panel_->modelName());
  try {
    requireModelName(name);
  } catch (const std::exception& e) {
    reportFailure(e);
    return;
  }
  rememberModel(name);
  startJob<BuildOutcome>(
      [=, this](CommandJob& job) {
        BuildOutcome outcome;
        BuildOptions options = taken;
        steerBy(job, options.control);
        // After the search the files are written, which takes its own while on a big model.
        options.control.progress = [&job](std::int64_t done, std::int64_t total) {
          job.reportProgress(done, total);
          if (done >= total) job.reportPhase("Writing files");
        };
        options.warning = [&outcome](const std::string& text) {
          addWarning(outcome.warnings, text);
        };
        options.control.selected = [&outcome](const SelectionCounts& kept) {
          outcome.selection = kept;
        };
        options.attributesSearched = [&outcome](std::int32_t searched, std::int32_t all) {
          outcome.attributes = std::make_pair(searched, all);
        };
        outcome.counts = runBuildModel(
            *parameters, table, name,
            [&job, this](ModelFileKind kind, const std::string& filename) {
              postFile(job, kind, filename);
            },
            options);
        // The larger class of the training table decides undecided rows when the model is
        // applied; a table the build has read is read again without fail.
        outcome.classes = tableClassCounts(table, taken.source, taken.reading, taken.format);
        return outcome;
      },
      [this, name, table, taken, parameters](BuildOutcome& outcome) {
        panel_->showCounts(outcome.counts);
        trainingClasses_ = outcome.classes;
        trainingClassesModel_ = modelFullName_;
        // What the choices did, in the status bar and under the name, where it is not cut.
        QStringList notes;
        if (outcome.selection) {
          const SelectionCounts& k = *outcome.selection;
          notes << QString("The selection kept %1 of %2 positive and %3 of %4 negative patterns.")
                       .arg(k.positiveKept)
                       .arg(k.positiveFound)
                       .arg(k.negativeKept)
                       .arg(k.negativeFound);
        }
        if (outcome.attributes) {
          notes << QString("Class-aware cut points kept %1 of %2 attributes.")
                       .arg(outcome.attributes->first)
                       .arg(outcome.attributes->second);
        }
        panel_->showBuildNote(notes.join('\n'));
        const QString choices = notes.isEmpty() ? QString() : " " + notes.join(' ');
        const QString folder =
            QFileInfo(fromUtf8(modelFileName(name, ModelFileKind::Model))).absolutePath();
        statusBar_->showMessage(
            outcome.warnings +
            QString("Model written to %1: %2 positive and %3 negative patterns in %4 s.")
                .arg(QDir::toNativeSeparators(folder))
                .arg(outcome.counts.positive)
                .arg(outcome.counts.negative)
                .arg(statusBar_->secondsTaken(), 0, 'f', 1) +
            choices);
        RunRecord run;
        run.kind = "build";
        run.model = toUtf8(QFileInfo(fromUtf8(modelFullName_)).fileName());
        run.parameters = parametersSummary(*parameters);
        run.positivePatterns = outcome.counts.positive;
        run.negativePatterns = outcome.counts.negative;
        run.seconds = statusBar_->secondsTaken();
        recordRun(run);
        wantPatterns({modelFullName_, table, taken.format, false, true});
      });
}

void WorkbenchWindow::loadModel() {
  if (waitsForJob("Load Model", [this] { loadModel(); })) return;
  const auto chosen =
      chooseFile_(fileRequest("Load Model", "Model Files (*.MOD)", "*.MOD", "MOD", false));
  if (!chosen) return;
  enterFolderOf(*chosen);
  WindowSettings::setLastFolder(QFileInfo(*chosen).absolutePath());
  panel_->setModelName(fromUtf8(modelNameOfFile(toUtf8(*chosen))));
  const std::string name = toUtf8(panel_->modelName());
  rememberModel(name);
  // Undecided rows go to the larger class of the training table only when this window built
  // the model from it.
  if (trainingClassesModel_ != modelFullName_) trainingClasses_.reset();
  panel_->showBuildNote(QString());  // said of the last build
  // The tabs before a file that cannot be read show the new model; the rest keep theirs.
  const std::string table = toUtf8(dataBox_->toPlainText());
  const NumberFormat format = numberFormat();
  startJob<LoadOutcome>(
      [this, name](CommandJob& job) {
        for (const ModelFileKind kind : kModelFileKinds) {
          postFile(job, kind, modelFileName(name, kind));
        }
        return LoadOutcome{storedPatternCounts(name), modelSetMismatch(name)};
      },
      [this](LoadOutcome& outcome) {
        QString message = outcome.mismatch.empty()
                              ? QString()
                              : fromUtf8(messageWithFullStop(outcome.mismatch)) + " ";
        if (outcome.counts) {
          panel_->showCounts(*outcome.counts);
          message += QString("Model %1 loaded: %2 positive and %3 negative patterns.")
                         .arg(QDir::toNativeSeparators(fromUtf8(modelFullName_)))
                         .arg(outcome.counts->positive)
                         .arg(outcome.counts->negative);
        }
        statusBar_->showMessage(message);
      });
  // Read by the full path, which a later Open Data from another folder does not change.
  wantPatterns({modelFullName_, table, format, false, true});
}

void WorkbenchWindow::applyModel() {
  if (waitsForJob("Apply Model", [this] { applyModel(); })) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
  const std::string name = modelName();
  const QString shownName = panel_->modelName();
  const NumberFormat format = numberFormat();
  // Apply reads the model again, and its patterns are counted on the scored table after it.
  releasePatterns();
  startJob<ApplyOutcome>(
      [=, this](CommandJob& job) {
        ApplyOutcome outcome;
        ApplyReport report;
        report.counts = [&job, &outcome, this](PatternCounts counts) {
          outcome.counts = counts;
          job.post([this, counts] { panel_->showCounts(counts); });
        };
        report.loaded = [&outcome, format](const std::shared_ptr<const Model>& model) {
          const ModelRules rules(model, format);
          outcome.modelSize =
              QString("Model: %1 positive and %2 negative patterns, %3 conditions in all")
                  .arg(rules.positiveCount())
                  .arg(rules.negativeCount())
                  .arg(rules.conditionsInAll());
        };
        report.warning = [&outcome](const std::string& text) {
          addWarning(outcome.warnings, text);
        };
        report.forecastCleared = [&job, this] {
          job.post([this] {
            forecastBox_->clear();
            explanationPanel_->setSource(nullptr);  // the old lines are gone
            explanationPanel_->hide();
          });
        };
        // Lines go to the window in blocks, so that a long table does not flood it; the bar
        // counts them against the table's lines.
        const std::int64_t lines = tableLineCount(table);
        std::int64_t scored = 0;
        QStringList block;
        auto send = [&] {
          if (block.isEmpty()) return;
          job.post([this, text = block.join('\n')] { forecastBox_->appendPlainText(text); });
          block.clear();
        };
        report.forecastLine = [&](const std::string& line) {
          if (job.cancelled()) throw LadError("Apply cancelled");
          block << fromUtf8(line);
          if (++scored % 1000 == 0) job.reportProgress(scored, std::max(scored, lines));
          if (block.size() >= 2000) send();
        };
        report.scored = [&](const std::string& rowName, const std::string& classField,
                            double score) {
          outcome.scored.push_back(
              {rowName, classField, evaluationClass(classField, format), score});
        };
        try {
          runApplyModel(name, table, report, format);
        } catch (...) {
          send();  // the lines before a failure stay shown
          throw;
        }
        send();
        job.reportProgress(scored, scored);
        job.post([this] { forecastBox_->moveCursor(QTextCursor::Start); });  // the first lines
        return outcome;
      },
      [this, name, table, shownName, format](ApplyOutcome& outcome) {
        const std::size_t lines = outcome.scored.size();
        const std::optional<ClassCounts> training =
            trainingClassesModel_ == name ? trainingClasses_ : std::nullopt;
        const Metrics metrics = evaluationPage_->showTestSet(
            "Model " + shownName + " applied to " + tableDescription(), std::move(outcome.scored),
            training, outcome.modelSize, format);
        const std::string decided = undecidedSentence(metrics);
        statusBar_->showMessage(outcome.warnings + QString("%1 lines scored.").arg(lines) +
                                (decided.empty() ? QString() : " " + fromUtf8(decided)));
        RunRecord run;
        run.kind = "apply";
        run.model = toUtf8(QFileInfo(fromUtf8(name)).fileName());
        run.positivePatterns = outcome.counts.positive;
        run.negativePatterns = outcome.counts.negative;
        if (metrics.positives + metrics.negatives > 0) {
          run.accuracy = metrics.accuracy;
          run.balancedAccuracy = metrics.balancedAccuracy;
          run.auc = metrics.auc;
          run.undecidedShare = metrics.undecidedShare;
        }
        run.seconds = statusBar_->secondsTaken();
        recordRun(run);
        tabs_->setTabToolTip(tabs_->indexOf(forecastBox_),
                             "The scores of model " + shownName + " on " + tableDescription());
        wantPatterns({name, table, format, true});
      },
      "%v of %m lines");
}
