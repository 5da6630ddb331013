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

#include "DataPage.h"
#include "DroppedFile.h"
#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "FreedMemory.h"
#include "ImportDialog.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "ModelFilePages.h"
#include "ModelPatterns.h"
#include "ParameterPanel.h"
#include "PatternsPage.h"
#include "QtText.h"
#include "SampleTable.h"
#include "WindowLook.h"
#include "WindowMenus.h"

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
  runImport_ = [](ImportDialog& dialog) { return dialog.exec() == QDialog::Accepted; };

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
  // The Data tab reads the table again once it is shown after an edit.
  connect(dataBox_->document(), &QTextDocument::contentsChanged, this,
          [this] { dataSummaryWanted_ = true; });
  restoreSettings();
  showRunHistory();

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
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    readWantedPatterns();
    readWantedDataSummary();
  });
  evaluationPage_ = new EvaluationPage(tabs_, numberFormat_);
  evaluationPage_->setObjectName("evaluationPage");
  tabs_->addTab(evaluationPage_, "Evaluation");
  connect(evaluationPage_, &EvaluationPage::crossValidateClicked, this,
          &WorkbenchWindow::crossValidate);
  connect(evaluationPage_, &EvaluationPage::tuneClicked, this, &WorkbenchWindow::tune);
  connect(evaluationPage_, &EvaluationPage::useClicked, this, &WorkbenchWindow::useTunedParameters);
  connect(evaluationPage_, &EvaluationPage::rowChosen, this, &WorkbenchWindow::explainRow);
  patternsPage_ = new PatternsPage(tabs_);
  patternsPage_->setObjectName("patternsPage");
  tabs_->addTab(patternsPage_, "Patterns");
  dataPage_ = new DataPage(tabs_, numberFormat_);
  dataPage_->setObjectName("dataPage");
  tabs_->addTab(dataPage_, "Data");
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
  releasePatterns();
  readWantedPatterns();
}

void WorkbenchWindow::releasePatterns() {
  if (!patternsShown_) return;
  if (!patternsWanted_) patternsWanted_ = patternsShown_;
  patternsShown_.reset();
  patternsPage_->showPatterns(nullptr, "The patterns are read when this tab is shown.");
  explanationPanel_->setSource(nullptr);
  giveBackFreedMemory();
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
        patternsShown_ = wanted;
        patternsPage_->showPatterns(patterns.table, fromUtf8(patterns.note));
        if (!wanted.forExplanations) return;
        explanationPanel_->setSource(patterns.table);
        if (lineToExplain_) explanationPanel_->explain(*lineToExplain_);
        lineToExplain_.reset();
      },
      "Reading patterns", true);
}

void WorkbenchWindow::explainForecastLine() {
  explainRow(static_cast<std::size_t>(forecastBox_->textCursor().blockNumber()));
}

void WorkbenchWindow::explainRow(std::size_t line) {
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

std::optional<LearningParameters> WorkbenchWindow::readBoxes(const ParameterTexts& texts,
                                                             const NumberFormat& format) {
  // A bad parameter is said before anything starts, and its box gets the focus.
  try {
    LearningParameters parameters = readParameters(texts, format);
    panel_->takeChoices(parameters);
    return parameters;
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
  result.reset();
  giveBackFreedMemory();  // what the command's work held, a whole model perhaps
  if (queuedCommand_) {
    const std::function<void()> command = std::move(queuedCommand_);
    queuedCommand_ = nullptr;
    command();
  }
  readWantedPatterns();  // the Patterns tab was opened while the command ran
  readWantedDataSummary();
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
