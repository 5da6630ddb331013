#include "WorkbenchWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "DroppedFile.h"
#include "Evaluation.h"
#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "JobControl.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "ModelFilePages.h"
#include "ModelPatterns.h"
#include "ModelSetCheck.h"
#include "ParameterPanel.h"
#include "PatternsPage.h"
#include "QtText.h"
#include "SampleTable.h"
#include "StoredPatternCounts.h"
#include "WindowLook.h"
#include "WindowMenus.h"
#include "WindowSettings.h"

namespace {

// What a finished build hands back to the window.
struct BuildOutcome {
  PatternCounts counts;
  QString warnings;
};

// What a finished Load Model hands back: the model's pattern counts, and what is wrong with its
// set of files.
struct LoadOutcome {
  std::optional<PatternCounts> counts;
  std::string mismatch;
};

// What a finished Apply Model hands back: every scored line, for the Evaluation tab.
struct ApplyOutcome {
  std::vector<ScoredObservation> scored;
  QString warnings;
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

WorkbenchWindow::WorkbenchWindow(QWidget* parent)
    : QWidget(parent), numberFormat_(systemNumberFormat()) {
  setObjectName("workbenchWindow");
  setWindowTitle("Rule-Based Inductive Learning");
  resize(1017, 565);
  setFont(proportionalFont());
  chooseFile_ = [this](const FileDialogRequest& request) { return openFileDialog(this, request); };
  showError_ = [this](const QString& message) { errorBox(this, message); };
  askToCancel_ = [this] { return askToCancelAndClose(this); };
  ask_ = [this](const QString& question) { return askYesNo(this, question); };

  dataBox_ = plainTextBox(this, palette().color(QPalette::ToolTipBase));
  dataBox_->setObjectName("dataBox");
  dataBox_->setPlainText(fromUtf8(sampleTable()));
  panel_ = new ParameterPanel(this);
  makePages();

  // The first handle lies at the panel's top edge and moves nothing; the second, below the
  // panel, changes its height.
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("splitter");
  splitter->setHandleWidth(3);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(dataBox_);
  splitter->addWidget(panel_);
  splitter->addWidget(tabs_);
  splitter->handle(1)->setEnabled(false);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 0);
  splitter->setStretchFactor(2, 1);
  splitter->setSizes({161, 160, 565 - 161 - 160 - 6});
  statusBar_ = new JobStatusBar(this);
  connect(statusBar_, &JobStatusBar::cancelClicked, this, &WorkbenchWindow::cancelJob);
  menus_ = new WindowMenus(this);
  // Small enough for a laptop, large enough that no control is cut off.
  setMinimumSize(940, 430);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menus_->menuBar());
  layout->addWidget(splitter);
  layout->addWidget(statusBar_);
  // The window grows by the menu bar and the status bar; the rest keeps its place.
  resize(1017, 565 + menus_->menuBar()->sizeHint().height() + statusBar_->sizeHint().height());
  // A data file dropped on the window (the data box too) opens as Open Data opens it.
  setAcceptDrops(true);
  dataBox_->installEventFilter(this);
  dataBox_->viewport()->installEventFilter(this);
  connect(dataBox_->document(), &QTextDocument::modificationChanged, this,
          &WorkbenchWindow::updateTitle);
  restoreSettings();

  QList<QWidget*> order{dataBox_};
  order << panel_->focusOrder() << tabs_;
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  connect(panel_, &ParameterPanel::openDataClicked, this, &WorkbenchWindow::openData);
  connect(panel_, &ParameterPanel::buildModelClicked, this, &WorkbenchWindow::buildModel);
  connect(panel_, &ParameterPanel::loadModelClicked, this, &WorkbenchWindow::loadModel);
  connect(panel_, &ParameterPanel::applyModelClicked, this, &WorkbenchWindow::applyModel);
}

WorkbenchWindow::~WorkbenchWindow() = default;

void WorkbenchWindow::makePages() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabs");
  filePages_ = std::make_unique<ModelFilePages>(tabs_);
  forecastBox_ = plainTextBox(tabs_, palette().color(QPalette::ToolTipBase));
  forecastBox_->setFont(tabFont());
  forecastBox_->setObjectName("forecastBox");
  tabs_->addTab(forecastBox_, "Forecast");
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { readWantedPatterns(); });
  evaluationPage_ = new EvaluationPage(tabs_, numberFormat_);
  evaluationPage_->setObjectName("evaluationPage");
  tabs_->addTab(evaluationPage_, "Evaluation");
  connect(evaluationPage_, &EvaluationPage::crossValidateClicked, this,
          &WorkbenchWindow::crossValidate);
  connect(evaluationPage_, &EvaluationPage::tuneClicked, this, &WorkbenchWindow::tune);
  connect(evaluationPage_, &EvaluationPage::useClicked, this, &WorkbenchWindow::useTunedParameters);
  patternsPage_ = new PatternsPage(tabs_);
  patternsPage_->setObjectName("patternsPage");
  tabs_->addTab(patternsPage_, "Patterns");
  explanationPanel_ = new ExplanationPanel(this);
  explanationPanel_->setObjectName("explanationPanel");
  forecastBox_->installEventFilter(this);
  forecastBox_->viewport()->installEventFilter(this);
  tabs_->setCurrentWidget(forecastBox_);
}

NumberFormat WorkbenchWindow::numberFormat() const {
  return numberFormat_;
}

void WorkbenchWindow::postFile(CommandJob& job, ModelFileKind kind, const std::string& filename) {
  auto content = std::make_shared<TabContent>(loadTabContent(filename));
  job.post([this, kind, content] { filePages_->show(kind, *content); });
}

void WorkbenchWindow::wantPatterns(PatternsWanted wanted) {
  if (wanted.newModel) patternsPage_->clearFilters();
  patternsModel_ = wanted.name;
  patternsWanted_ = std::move(wanted);
  lineToExplain_.reset();
  readWantedPatterns();
}

void WorkbenchWindow::readWantedPatterns() {
  if (!patternsWanted_ || job_ != nullptr) return;
  if (tabs_->currentWidget() != patternsPage_ && !lineToExplain_) return;
  const PatternsWanted wanted = *patternsWanted_;
  patternsWanted_.reset();
  const QString message = statusBar_->currentMessage();  // the last command's, kept
  const std::string tableName =
      wanted.forExplanations ? "the table Apply Model scored" : toUtf8(tableDescription());
  startJob<ModelPatterns>(
      [wanted, tableName](CommandJob&) {
        try {
          return modelPatterns(wanted.name, wanted.table, wanted.format, tableName);
        } catch (const std::exception& e) {
          ModelPatterns none;
          none.note = "No patterns: " + messageWithFullStop(e.what());
          return none;
        }
      },
      [this, wanted, message](ModelPatterns& patterns) {
        statusBar_->showMessage(message);
        patternsPage_->showPatterns(patterns.table, fromUtf8(patterns.note));
        if (!wanted.forExplanations) return;
        explanationPanel_->setSource(patterns.table);
        if (lineToExplain_) explanationPanel_->explain(*lineToExplain_);
        lineToExplain_.reset();
      },
      "Reading patterns", true);
}

void WorkbenchWindow::explainForecastLine() {
  const auto line = static_cast<std::size_t>(forecastBox_->textCursor().blockNumber());
  if (explanationPanel_->hasSource()) {
    explanationPanel_->explain(line);
  } else if (patternsWanted_ && patternsWanted_->forExplanations) {
    lineToExplain_ = line;
    readWantedPatterns();
  }
}

bool WorkbenchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dataBox_ || watched == dataBox_->viewport()) {
    // A file dropped on the data box opens; dragged text is the box's own business.
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!droppedFile(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      if (!droppedFile(drop->mimeData()).isEmpty()) {
        dropEvent(drop);
        return true;
      }
    }
    return QWidget::eventFilter(watched, event);
  }
  // A line selected by the user, with the mouse or the keys, is explained once the cursor has
  // moved to it; the lines that Apply Model writes move the cursor too, and are not.
  const QEvent::Type type = event->type();
  const bool mouse = watched == forecastBox_->viewport() &&
                     (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick);
  const bool keys = watched == forecastBox_ && type == QEvent::KeyRelease;
  if (mouse || keys) QTimer::singleShot(0, this, &WorkbenchWindow::explainForecastLine);
  return QWidget::eventFilter(watched, event);
}

void WorkbenchWindow::reportFailure(const std::exception& failure) {
  showError_(fromUtf8(messageWithFullStop(failure.what())));
}

void WorkbenchWindow::buildModel() {
  if (waitsForJob("Build Model", [this] { buildModel(); })) return;
  // Everything the build reads from the window is taken here, on the window's thread.
  BuildOptions taken;
  taken.format = numberFormat();
  const std::optional<LearningParameters> parameters = readBoxes(panel_->boxTexts(), taken.format);
  if (!parameters) return;
  const std::string table = toUtf8(dataBox_->toPlainText());
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
        outcome.counts = runBuildModel(
            *parameters, table, name,
            [&job, this](ModelFileKind kind, const std::string& filename) {
              postFile(job, kind, filename);
            },
            options);
        return outcome;
      },
      [this, name, table, taken](BuildOutcome& outcome) {
        panel_->showCounts(outcome.counts);
        const QString folder =
            QFileInfo(fromUtf8(modelFileName(name, ModelFileKind::Model))).absolutePath();
        statusBar_->showMessage(
            outcome.warnings +
            QString("Model written to %1: %2 positive and %3 negative patterns in %4 s.")
                .arg(QDir::toNativeSeparators(folder))
                .arg(outcome.counts.positive)
                .arg(outcome.counts.negative)
                .arg(statusBar_->secondsTaken(), 0, 'f', 1));
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
  startJob<ApplyOutcome>(
      [=, this](CommandJob& job) {
        ApplyOutcome outcome;
        ApplyReport report;
        report.counts = [&job, this](PatternCounts counts) {
          job.post([this, counts] { panel_->showCounts(counts); });
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
        report.scored = [&](const std::string&, const std::string& classField, double score) {
          outcome.scored.push_back({evaluationClass(classField, format), score});
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
        statusBar_->showMessage(outcome.warnings +
                                QString("%1 lines scored.").arg(outcome.scored.size()));
        evaluationPage_->showMetrics("Model " + shownName + " applied to " + tableDescription(),
                                     evaluateScores(outcome.scored), format);
        tabs_->setTabToolTip(tabs_->indexOf(forecastBox_),
                             "The scores of model " + shownName + " on " + tableDescription());
        wantPatterns({name, table, format, true});
      },
      "%v of %m lines");
}

std::optional<LearningParameters> WorkbenchWindow::readBoxes(const ParameterTexts& texts,
                                                             const NumberFormat& format) {
  // A bad parameter is said before anything starts, and its box gets the focus.
  try {
    return readParameters(texts, format);
  } catch (const ParameterError& e) {
    statusBar_->clearMessage();
    reportFailure(e);
    panel_->box(e.field)->setFocus();
    return std::nullopt;
  }
}

std::string WorkbenchWindow::modelName() const {
  const QString shown = panel_->modelName();
  if (!modelFullName_.empty() && shown == modelShownName_) return modelFullName_;
  return toUtf8(shown);
}

void WorkbenchWindow::rememberModel(const std::string& name) {
  modelShownName_ = fromUtf8(name);
  modelFullName_ = toUtf8(QFileInfo(QDir::current(), modelShownName_).absoluteFilePath());
}

QList<QPushButton*> WorkbenchWindow::commandButtons() const {
  return panel_->commandButtons() << evaluationPage_->commandButtons();
}

void WorkbenchWindow::startWork(CommandJob::Work work, std::function<void(std::any&)> done,
                                const QString& progressFormat, bool background) {
  jobDone_ = std::move(done);
  job_ = new CommandJob(std::move(work), this);
  jobInBackground_ = background;
  connect(job_, &CommandJob::progress, statusBar_, &JobStatusBar::showProgress);
  connect(job_, &CommandJob::phase, statusBar_, &JobStatusBar::showPhase);
  connect(job_, &CommandJob::finished, this, &WorkbenchWindow::jobFinished);
  if (!background) {
    focusBeforeJob_ = focusWidget();  // disabling its button moves the focus away
    for (QPushButton* b : commandButtons()) b->setEnabled(false);
    menus_->setCommandRunning(true);
  }
  statusBar_->jobStarted(progressFormat);
  job_->start();
}

void WorkbenchWindow::cancelJob() {
  if (job_ != nullptr) job_->cancel();
}

void WorkbenchWindow::jobFinished(const QString& failure) {
  statusBar_->jobEnded();
  for (QPushButton* b : commandButtons()) b->setEnabled(true);
  evaluationPage_->offerSelectedSet();
  menus_->setCommandRunning(false);
  if (!jobInBackground_ && focusBeforeJob_ != nullptr) focusBeforeJob_->setFocus();
  jobInBackground_ = false;
  std::any result = std::move(job_->result());
  job_->deleteLater();
  job_ = nullptr;
  auto done = std::move(jobDone_);
  jobDone_ = nullptr;
  if (failure.endsWith(" cancelled")) {
    statusBar_->showMessage(failure);
  } else if (!failure.isEmpty()) {
    showError_(fromUtf8(messageWithFullStop(toUtf8(failure))));
  } else if (done) {
    done(result);
  }
  if (queuedCommand_) {
    const std::function<void()> command = std::move(queuedCommand_);
    queuedCommand_ = nullptr;
    command();
  }
  readWantedPatterns();  // the Patterns tab was opened while the command ran
}

bool WorkbenchWindow::waitsForJob(const QString& command, std::function<void()> run) {
  if (job_ == nullptr) return false;
  if (jobInBackground_) {
    queuedCommand_ = std::move(run);
    statusBar_->showMessage(command + " starts as soon as the patterns have been read.");
  }
  return true;
}

void WorkbenchWindow::closeEvent(QCloseEvent* event) {
  if (!mayDiscardEdits()) {
    event->ignore();
    return;
  }
  if (job_ != nullptr) {
    if (!askToCancel_()) {
      event->ignore();
      return;
    }
    job_->cancel();
    job_->wait();
  }
  saveSettings();
  QWidget::closeEvent(event);
}

void WorkbenchWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) numberFormat_ = systemNumberFormat();
  QWidget::changeEvent(event);
}
