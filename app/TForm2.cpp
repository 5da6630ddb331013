#include "TForm2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <array>
#include <climits>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "CrossValidation.h"
#include "Evaluation.h"
#include "LadError.h"
#include "ModelPatterns.h"
#include "ModelSetCheck.h"
#include "NumberText.h"
#include "QtText.h"
#include "SampleTable.h"
#include "TextFile.h"

namespace {

// Text boxes show files with their line ends made plain.
QString displayText(const std::string& text) {
  QString shown = fromUtf8(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

// A font at 8 points, or the platform's closest one when it lacks the family.
QFont eightPoint(const char* family, QFontDatabase::SystemFont closest) {
  QFont font(family);
  font.setFamilies({family, QFontDatabase::systemFont(closest).family()});
  font.setPointSize(8);
  return font;
}

QFont monospaced() {
  return eightPoint("Courier New", QFontDatabase::FixedFont);
}
// The tabs' text at 10 points in a monospace face whose ">=" and "<" stay distinct: at 8 points
// ">=" reads as ">-".
QFont tabFont() {
  QFont font("DejaVu Sans Mono");
  font.setFamilies({"DejaVu Sans Mono", "Liberation Mono",
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::Monospace);
  font.setPointSize(10);
  return font;
}
QFont proportional() {
  return eightPoint("Tahoma", QFontDatabase::GeneralFont);
}

QPlainTextEdit* textBox(QWidget* parent, const QColor& background) {
  auto* box = new QPlainTextEdit(parent);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setFont(monospaced());
  box->setTabChangesFocus(true);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Text, Qt::black);
  box->setPalette(palette);
  return box;
}

QSpinBox* spinBox(QWidget* parent, int value) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(INT_MIN, INT_MAX);  // no limits
  spin->setValue(value);
  return spin;
}

bool isPattern(const QString& name) {
  return name.contains('*') || name.contains('?');
}

// A file-open dialog. A pattern in the file-name field (the initial *.MOD, or one the user
// types) lists the files it matches, as the file-name field of a desktop open dialog does,
// instead of being returned as a file name.
std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setFileMode(QFileDialog::AnyFile);  // a typed name that does not exist is returned too
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(request.defaultSuffix);
  QString pattern = request.initialFileName;
  for (;;) {
    QStringList filters = request.filter.split(";;");
    // The filter of the pattern in the file-name field is the one selected.
    QString selected = filters.first();
    for (const QString& filter : filters) {
      if (filter.contains("(" + pattern + ")")) selected = filter;
    }
    if (isPattern(pattern) && !request.filter.contains("(" + pattern + ")")) {
      filters << pattern + " (" + pattern + ")";
      selected = filters.last();
    }
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(selected);
    dialog.selectFile(pattern);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString name = QFileInfo(chosen).fileName();
    if (!isPattern(name)) return chosen;
    dialog.setDirectory(QFileInfo(chosen).absolutePath());
    pattern = name;
  }
}

// Lets the job's Cancel stop the command and its progress show.
void steerBy(CommandJob& job, BuildControl& control) {
  control.cancel = &job.cancelFlag();
  control.progress = [&job](std::int64_t done, std::int64_t total) {
    job.reportProgress(done, total);
  };
}

void errorBox(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok,
                  parent);
  box.exec();
}

// The open dialogs leave the chosen file's folder as the current folder.
void enterFolderOf(const QString& path) {
  QDir::setCurrent(QFileInfo(path).absolutePath());
}

}  // namespace

void useSystemDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  setDecimalSeparator(point.isEmpty() ? std::string(".") : toUtf8(point));
}

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
  setObjectName("Form2");
  setWindowTitle("Rule-Based Inductive Learning");
  resize(1017, 565);
  setFont(proportional());
  chooseFile = [this](const FileDialogRequest& request) { return fileDialog(this, request); };
  showError = [this](const QString& message) { errorBox(this, message); };

  RichEdit1 = textBox(this, palette().color(QPalette::ToolTipBase));
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setPlainText(fromUtf8(sampleTable()));
  makePanel();
  makePages();

  // Splitter1 lies at the panel's top edge and moves nothing; Splitter2 below the panel
  // changes its height.
  Splitters = new QSplitter(Qt::Vertical, this);
  Splitters->setHandleWidth(3);
  Splitters->setChildrenCollapsible(false);
  Splitters->addWidget(RichEdit1);
  Splitters->addWidget(Panel1);
  Splitters->addWidget(PageControl1);
  Splitters->handle(1)->setEnabled(false);
  Splitters->setStretchFactor(0, 0);
  Splitters->setStretchFactor(1, 0);
  Splitters->setStretchFactor(2, 1);
  Splitters->setSizes({161, 160, 565 - 161 - 160 - 6});
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  TimeLabel = new QLabel(StatusBar1);
  ProgressBar1 = new QProgressBar(StatusBar1);
  ProgressBar1->setMaximumWidth(260);
  ProgressBar1->setFormat("%v of %m subsets");
  CancelButton = new QPushButton("Cancel", StatusBar1);
  CancelButton->setAutoDefault(false);
  // No taller than the bar's own line, so that the window keeps its layout while they show.
  const int line = QFontMetrics(StatusBar1->font()).height() + 2;
  ProgressBar1->setFixedHeight(line);
  CancelButton->setFixedHeight(line);
  StatusBar1->addPermanentWidget(TimeLabel);
  StatusBar1->addPermanentWidget(ProgressBar1);
  StatusBar1->addPermanentWidget(CancelButton);
  for (QWidget* w : {static_cast<QWidget*>(TimeLabel), static_cast<QWidget*>(ProgressBar1),
                     static_cast<QWidget*>(CancelButton)}) {
    w->hide();
  }
  connect(CancelButton, &QPushButton::clicked, this, &TForm2::cancelJob);
  auto* open = new QShortcut(QKeySequence::Open, this);
  connect(open, &QShortcut::activated, this, [this] {
    if (job_ == nullptr) Button1Click();
  });
  // Small enough for a laptop, large enough that no control is cut off.
  setMinimumSize(940, 430);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &TForm2::cancelJob);
  clockTimer_ = new QTimer(this);
  clockTimer_->setInterval(250);
  connect(clockTimer_, &QTimer::timeout, this,
          [this] { showJobProgress(ProgressBar1->value(), ProgressBar1->maximum()); });
  askToCancel = [this] {
    return QMessageBox::question(this, QApplication::applicationName(),
                                 "A command is still running. Cancel it and close the window?") ==
           QMessageBox::Yes;
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Splitters);
  layout->addWidget(StatusBar1);
  // The window grows by the status bar; the rest keeps its place.
  resize(1017, 565 + StatusBar1->sizeHint().height());

  QWidget* order[] = {RichEdit1, SpinEdit1, SpinEdit2, Edit1,   Edit2,
                      Edit3,     Edit4,     Button1,   Button2, Button4,
                      Button5,   SpinEdit3, SpinEdit4, Edit5,   PageControl1};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
}

void TForm2::makePanel() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Panel1->setMinimumHeight(40);
  // Every control at its position; spin boxes, edit boxes and buttons share their sizes.
  auto label = [this](const char* text, int x, int y) {
    auto* l = new QLabel(text, Panel1);
    l->move(x, y);
    l->adjustSize();
    return l;
  };
  auto spin = [this](int value, int x, int y) {
    QSpinBox* box = spinBox(Panel1, value);
    box->setGeometry(x, y, 81, 22);
    return box;
  };
  auto edit = [this](const char* text, int x, int y) {
    auto* box = new QLineEdit(text, Panel1);
    box->setGeometry(x, y, 121, 21);
    return box;
  };
  auto button = [this](const char* caption, int y) {
    auto* b = new QPushButton(caption, Panel1);
    b->setAutoDefault(false);  // no button is the default button
    b->setGeometry(688, y, 75, 25);
    return b;
  };

  const LearningParameters start;  // the start values of the window and the command line
  using F = ParameterField;
  Label1 = label(parameterCaption(F::GridSize), 32, 8);
  SpinEdit1 = spin(spinValue(start.gridSize), 32, 27);
  Label2 = label(parameterCaption(F::Degree), 208, 8);
  SpinEdit2 = spin(spinValue(start.degree), 208, 27);
  Label3 = label(parameterCaption(F::PositiveHomogeneity), 32, 57);
  Edit1 = edit(start.positiveHomogeneity.c_str(), 32, 76);
  Label4 = label(parameterCaption(F::PositivePrevalence), 208, 57);
  Edit2 = edit(start.positivePrevalence.c_str(), 208, 76);
  Label5 = label(parameterCaption(F::NegativeHomogeneity), 376, 57);
  Edit3 = edit(start.negativeHomogeneity.c_str(), 376, 76);
  Label6 = label(parameterCaption(F::NegativePrevalence), 544, 57);
  Edit4 = edit(start.negativePrevalence.c_str(), 544, 76);
  Button1 = button("Open Data", 8);
  Button2 = button("Build Model", 39);
  Button4 = button("Load Model", 70);
  Button5 = button("Apply Model", 101);
  Label7 = label("Positive Patterns Found", 32, 103);
  SpinEdit3 = spin(2, 32, 118);
  Label8 = label("Negative Patterns Found", 208, 103);
  SpinEdit4 = spin(2, 208, 118);
  Label9 = label("Name", 776, 45);
  Edit5 = edit(kDefaultModelName.c_str(), 809, 42);
}

void TForm2::makePages() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  const QColor tooltip = palette().color(QPalette::ToolTipBase);
  struct Page {
    const char* caption;
    QColor background;
    QPlainTextEdit** box;
    FileView** view;
  } pages[] = {
      {"Model", palette().color(QPalette::Window), &RichEdit2, &FileView2},
      {"Pattern Space", QColor(168, 211, 255), &RichEdit3, &FileView3},
      {"Pattern Description", QColor(206, 255, 206), &RichEdit4, &FileView4},
      {"Discretized", QColor(166, 202, 240), &RichEdit5, &FileView5},
      {"Forecast", tooltip, &RichEdit6, nullptr},
  };
  int number = 2;
  for (const Page& page : pages) {
    *page.box = textBox(PageControl1, page.background);
    (*page.box)->setFont(tabFont());
    (*page.box)->setObjectName(QString("RichEdit%1").arg(number));
    if (page.view == nullptr) {
      PageControl1->addTab(*page.box, page.caption);
    } else {
      // A model file's tab: its text box, or the file view for a large file.
      auto* stack = new QStackedWidget(PageControl1);
      *page.view = new FileView(stack);
      (*page.view)->setObjectName(QString("FileView%1").arg(number));
      (*page.view)->setFont(tabFont());
      QPalette colours = (*page.view)->palette();
      colours.setColor(QPalette::Base, page.background);
      colours.setColor(QPalette::Text, Qt::black);
      (*page.view)->setPalette(colours);
      stack->addWidget(*page.box);
      stack->addWidget(*page.view);
      PageControl1->addTab(stack, page.caption);
    }
    ++number;
  }
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { readWantedPatterns(); });
  Evaluation = new EvaluationPage(PageControl1);
  PageControl1->addTab(Evaluation, "Evaluation");
  connect(Evaluation->CrossValidateButton, &QPushButton::clicked, this,
          &TForm2::CrossValidateClick);
  connect(Evaluation->TuneButton, &QPushButton::clicked, this, &TForm2::TuneClick);
  connect(Evaluation->UseButton, &QPushButton::clicked, this, &TForm2::UseTunedParameters);
  PatternsTab = new PatternsPage(PageControl1);
  PageControl1->addTab(PatternsTab, "Patterns");
  WhyPanel = new ExplanationPanel(this);
  RichEdit6->installEventFilter(this);
  RichEdit6->viewport()->installEventFilter(this);
  PageControl1->setCurrentWidget(RichEdit6);
}

namespace {

// The tab of each model file: Model, Pattern Space, Pattern Description, Discretized.
std::size_t tabOf(ModelFileKind kind) {
  for (std::size_t i = 0; i < kModelFileKinds.size(); ++i) {
    if (kModelFileKinds[i] == kind) return i;
  }
  return 0;
}

}  // namespace

QPlainTextEdit* TForm2::tabBox(ModelFileKind kind) const {
  const std::array<QPlainTextEdit*, 4> boxes{RichEdit2, RichEdit3, RichEdit4, RichEdit5};
  return boxes[tabOf(kind)];
}

QWidget* TForm2::parameterBox(ParameterField field) const {
  switch (field) {
    case ParameterField::GridSize:
      return SpinEdit1;
    case ParameterField::Degree:
      return SpinEdit2;
    case ParameterField::PositiveHomogeneity:
      return Edit1;
    case ParameterField::PositivePrevalence:
      return Edit2;
    case ParameterField::NegativeHomogeneity:
      return Edit3;
    case ParameterField::NegativePrevalence:
      break;
  }
  return Edit4;
}

FileView* TForm2::tabView(ModelFileKind kind) const {
  const std::array<FileView*, 4> views{FileView2, FileView3, FileView4, FileView5};
  return views[tabOf(kind)];
}

TabContent loadTabContent(const std::string& filename) {
  TabContent content;
  const QFileInfo info(fromUtf8(filename));
  content.path = info.filePath();
  content.large = info.exists() && info.size() > TForm2::kLargestTextBoxFile;
  if (!content.large) {
    content.text = displayText(readTextFile(filename));  // a missing file fails here
  } else if (!FileView::indexFile(content.path, content.index)) {
    readTextFile(filename);  // says why it cannot be read
  }
  return content;
}

void TForm2::showContent(ModelFileKind kind, const TabContent& content) {
  QPlainTextEdit* box = tabBox(kind);
  FileView* view = tabView(kind);
  auto* stack = static_cast<QStackedWidget*>(view->parentWidget());
  if (!content.large) {
    box->setPlainText(content.text);
    view->clear();
    stack->setCurrentWidget(box);
    return;
  }
  view->show(content.path, content.index);
  box->clear();
  stack->setCurrentWidget(view);
}

void TForm2::showFile(ModelFileKind kind, const std::string& filename) {
  showContent(kind, loadTabContent(filename));
}

// From a job: the file is read (or indexed) on the job's thread and shown on the window's.
void TForm2::postFile(CommandJob& job, ModelFileKind kind, const std::string& filename) {
  auto content = std::make_shared<TabContent>(loadTabContent(filename));
  job.post([this, kind, content] { showContent(kind, *content); });
}

void TForm2::wantPatterns(const std::string& name, const std::string& table,
                          const NumberFormat& format, bool forExplanations) {
  patternsModel_ = name;
  patternsWanted_ = PatternsWanted{name, table, format, forExplanations};
  lineToExplain_.reset();
  readWantedPatterns();
}

void TForm2::readWantedPatterns() {
  if (!patternsWanted_ || job_ != nullptr) return;
  if (PageControl1->currentWidget() != PatternsTab && !lineToExplain_) return;
  const PatternsWanted wanted = *patternsWanted_;
  patternsWanted_.reset();
  const QString message = StatusBar1->currentMessage();  // the last command's, kept
  auto patterns = std::make_shared<ModelPatterns>();
  startJob(
      [wanted, patterns](CommandJob&) {
        try {
          *patterns = modelPatterns(
              wanted.name, wanted.table, wanted.format,
              wanted.forExplanations ? "the table Apply Model scored" : "the data box");
        } catch (const std::exception& e) {
          patterns->note = "No patterns: " + messageWithFullStop(e.what());
        }
      },
      [this, wanted, patterns, message] {
        StatusBar1->showMessage(message);
        PatternsTab->showPatterns(patterns->table, fromUtf8(patterns->note));
        if (!wanted.forExplanations) return;
        WhyPanel->setSource(patterns->table);
        if (lineToExplain_) WhyPanel->explain(*lineToExplain_);
        lineToExplain_.reset();
      },
      "Reading patterns");
}

void TForm2::explainForecastLine() {
  const auto line = static_cast<std::size_t>(RichEdit6->textCursor().blockNumber());
  if (WhyPanel->hasSource()) {
    WhyPanel->explain(line);
  } else if (patternsWanted_ && patternsWanted_->forExplanations) {
    lineToExplain_ = line;
    readWantedPatterns();
  }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  // A line selected by the user, with the mouse or the keys, is explained once the cursor has
  // moved to it; the lines that Apply Model writes move the cursor too, and are not.
  const QEvent::Type type = event->type();
  const bool mouse = watched == RichEdit6->viewport() &&
                     (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick);
  const bool keys = watched == RichEdit6 && type == QEvent::KeyRelease;
  if (mouse || keys) QTimer::singleShot(0, this, &TForm2::explainForecastLine);
  return QWidget::eventFilter(watched, event);
}

void TForm2::runCommand(const std::function<void()>& command) {
  StatusBar1->clearMessage();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    command();
    QApplication::restoreOverrideCursor();
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    showError(fromUtf8(messageWithFullStop(e.what())));
  }
}

void TForm2::Button1Click() {
  const auto chosen = chooseFile(
      {"Open Data", "Text Files (*.txt);;CSV Files (*.csv);;All Files (*)", "*.txt", "txt"});
  if (!chosen) return;
  enterFolderOf(*chosen);
  bool opened = false;
  runCommand([&] {
    RichEdit1->setPlainText(displayText(readTextFile(toUtf8(*chosen))));
    opened = true;
  });
  if (!opened) return;
  // What was judged or counted on the earlier table says so; the patterns are counted again
  // on the new one, unless they wait to explain the Forecast of the earlier one.
  Evaluation->tableReplaced(QFileInfo(*chosen).fileName());
  if (!patternsModel_.empty() && !(patternsWanted_ && patternsWanted_->forExplanations)) {
    wantPatterns(patternsModel_, toUtf8(RichEdit1->toPlainText()), currentNumberFormat(), false);
  }
}

void TForm2::Button2Click() {
  if (job_ != nullptr) return;
  // Everything the build reads from the window is taken here, on the window's thread.
  const LearningParameters parameters = panelParameters();
  const std::string table = toUtf8(RichEdit1->toPlainText());
  const std::string name = toUtf8(Edit5->text());
  const BuildOptions taken;  // the number format, now
  if (!parametersReadable(parameters, taken.format)) return;
  try {
    requireModelName(name);
  } catch (const std::exception& e) {
    showError(fromUtf8(messageWithFullStop(e.what())));
    return;
  }
  rememberModel(name);
  auto counts = std::make_shared<PatternCounts>();
  auto warnings = std::make_shared<QString>();
  startJob(
      [=, this](CommandJob& job) {
        BuildOptions options = taken;
        steerBy(job, options.control);
        options.warning = [&job, warnings](const std::string& text) {
          job.post([warnings, text] { *warnings += fromUtf8(messageWithFullStop(text)) + " "; });
        };
        *counts = runBuildModel(
            parameters, table, name,
            [&job, this](ModelFileKind kind, const std::string& filename) {
              postFile(job, kind, filename);
            },
            options);
        job.post([this, c = *counts] {
          SpinEdit3->setValue(c.positive);
          SpinEdit4->setValue(c.negative);
        });
      },
      [this, name, table, taken, counts, warnings] {
        const QString folder =
            QFileInfo(fromUtf8(modelFileName(name, ModelFileKind::Model))).absolutePath();
        StatusBar1->showMessage(
            *warnings +
            QString("Model written to %1: %2 positive and %3 negative patterns in %4 s.")
                .arg(QDir::toNativeSeparators(folder))
                .arg(counts->positive)
                .arg(counts->negative)
                .arg(static_cast<double>(jobClock_.elapsed()) / 1000.0, 0, 'f', 1));
        wantPatterns(name, table, taken.format, false);
      });
}

void TForm2::Button4Click() {
  const auto chosen = chooseFile({"Load Model", "Model Files (*.MOD)", "*.MOD", "MOD"});
  if (!chosen) return;
  enterFolderOf(*chosen);
  if (job_ != nullptr) return;
  Edit5->setText(fromUtf8(modelNameOfFile(toUtf8(*chosen))));
  const std::string name = toUtf8(Edit5->text());
  rememberModel(name);
  // The tabs before a file that cannot be read show the new model; the rest keep theirs.
  const std::string table = toUtf8(RichEdit1->toPlainText());
  const NumberFormat format = currentNumberFormat();
  startJob(
      [this, name, table, format](CommandJob& job) {
        for (const ModelFileKind kind : kModelFileKinds) {
          postFile(job, kind, modelFileName(name, kind));
        }
        const std::string mismatch = modelSetMismatch(name);
        if (!mismatch.empty()) {
          job.post([this, mismatch] {
            StatusBar1->showMessage(fromUtf8(messageWithFullStop(mismatch)));
          });
        }
      },
      nullptr);
  wantPatterns(name, table, format, false);
}

void TForm2::Button5Click() {
  if (job_ != nullptr) return;
  const std::string table = toUtf8(RichEdit1->toPlainText());
  const std::string name = modelName();
  const QString shownName = Edit5->text();
  const NumberFormat format = currentNumberFormat();
  auto scored = std::make_shared<std::vector<ScoredObservation>>();
  auto warning = std::make_shared<QString>();
  startJob(
      [=, this](CommandJob& job) {
        ApplyReport report;
        report.counts = [&job, this](PatternCounts counts) {
          job.post([this, counts] {
            SpinEdit3->setValue(counts.positive);
            SpinEdit4->setValue(counts.negative);
          });
        };
        report.warning = [&job, warning](const std::string& text) {
          job.post([warning, text] { *warning += fromUtf8(messageWithFullStop(text)) + " "; });
        };
        report.forecastCleared = [&job, this] {
          job.post([this] {
            RichEdit6->clear();
            WhyPanel->setSource(nullptr);  // the old lines are gone
            WhyPanel->hide();
          });
        };
        // Lines go to the window in blocks, so that a long table does not flood it.
        QStringList block;
        auto send = [&] {
          if (block.isEmpty()) return;
          job.post([this, text = block.join('\n')] { RichEdit6->appendPlainText(text); });
          block.clear();
        };
        report.forecastLine = [&](const std::string& line) {
          if (job.cancelled()) throw LadError("Apply cancelled");
          block << fromUtf8(line);
          if (block.size() >= 2000) send();
        };
        report.scored = [&](const std::string&, const std::string& classField, double score) {
          scored->push_back({evaluationClass(classField, format), score});
        };
        try {
          runApplyModel(name, table, report, format);
        } catch (...) {
          send();  // the lines before a failure stay shown
          throw;
        }
        send();
        job.post([this] { RichEdit6->moveCursor(QTextCursor::Start); });  // the first lines
      },
      [this, name, table, scored, warning, shownName, format] {
        StatusBar1->showMessage(*warning + QString("%1 lines scored.").arg(scored->size()));
        Evaluation->showMetrics("Model " + shownName + " applied to the table in the data box",
                                evaluateScores(*scored), format);
        wantPatterns(name, table, format, true);
      });
}

void TForm2::CrossValidateClick() {
  if (job_ != nullptr) return;
  const LearningParameters parameters = panelParameters();
  const std::string table = toUtf8(RichEdit1->toPlainText());
  const NumberFormat format = currentNumberFormat();
  if (!parametersReadable(parameters, format)) return;
  const ValidationOptions options = Evaluation->validationOptions();
  auto result = std::make_shared<CrossValidationResult>();
  startJob(
      [=](CommandJob& job) {
        ValidationOptions control = options;
        steerBy(job, control.control);
        *result = crossValidate(parameters, table, control, format);
      },
      [this, result, format] {
        Evaluation->showCrossValidation(*result, format);
        PageControl1->setCurrentWidget(Evaluation);
        StatusBar1->showMessage(
            QString("%1 folds cross-validated in %2 s: balanced accuracy %3.")
                .arg(result->folds.size())
                .arg(static_cast<double>(jobClock_.elapsed()) / 1000.0, 0, 'f', 1)
                .arg(fromUtf8(metricText(result->summary.balancedAccuracy.mean, format))));
      },
      "%v of %m models");
}

void TForm2::TuneClick() {
  if (job_ != nullptr) return;
  const LearningParameters parameters = panelParameters();
  const std::string table = toUtf8(RichEdit1->toPlainText());
  const NumberFormat format = currentNumberFormat();
  TuningGrid grid;
  try {
    grid = readTuningGrid(Evaluation->listTexts(), format);
  } catch (const ParameterError& e) {
    StatusBar1->clearMessage();
    showError(fromUtf8(messageWithFullStop(e.what())));
    Evaluation->listBox(e.field)->setFocus();
    return;
  }
  // The lists take the place of the four threshold boxes: only Grid Size and Degree count.
  if (!parametersReadable(firstTuningSet(parameters, grid, format), format)) return;
  const ValidationOptions options = Evaluation->validationOptions();
  const TuningCriterion criterion = Evaluation->criterion();
  auto ranked = std::make_shared<std::vector<CrossValidationResult>>();
  startJob(
      [=](CommandJob& job) {
        ValidationOptions control = options;
        steerBy(job, control.control);
        *ranked = tuneParameters(parameters, grid, table, control, criterion, format);
      },
      [this, ranked, criterion, format] {
        Evaluation->showTuning(*ranked, criterion, format);
        PageControl1->setCurrentWidget(Evaluation);
        StatusBar1->showMessage(
            QString("%1 parameter sets tuned with %2 builds in %3 s; choose a row and Use These "
                    "Parameters.")
                .arg(ranked->size())
                .arg(ranked->size() * (ranked->empty() ? 0 : ranked->front().folds.size()))
                .arg(static_cast<double>(jobClock_.elapsed()) / 1000.0, 0, 'f', 1));
      },
      "%v of %m models");
}

void TForm2::UseTunedParameters() {
  const std::optional<ParameterValues> chosen = Evaluation->selectedSet();
  if (!chosen) return;
  const LearningParameters texts = parameterTexts(*chosen, currentNumberFormat());
  SpinEdit1->setValue(chosen->gridSize);
  SpinEdit2->setValue(chosen->degree);
  Edit1->setText(fromUtf8(texts.positiveHomogeneity));
  Edit2->setText(fromUtf8(texts.positivePrevalence));
  Edit3->setText(fromUtf8(texts.negativeHomogeneity));
  Edit4->setText(fromUtf8(texts.negativePrevalence));
  StatusBar1->showMessage("The parameter boxes hold the chosen set; Build Model learns with it.");
}

LearningParameters TForm2::panelParameters() const {
  return {toUtf8(SpinEdit1->cleanText()), toUtf8(SpinEdit2->cleanText()), toUtf8(Edit1->text()),
          toUtf8(Edit2->text()),          toUtf8(Edit3->text()),          toUtf8(Edit4->text())};
}

bool TForm2::parametersReadable(const LearningParameters& parameters, const NumberFormat& format) {
  // A bad parameter is said before anything starts, and its box gets the focus.
  try {
    readParameters(parameters, format);
    return true;
  } catch (const ParameterError& e) {
    StatusBar1->clearMessage();
    showError(fromUtf8(messageWithFullStop(e.what())));
    parameterBox(e.field)->setFocus();
    return false;
  }
}

std::string TForm2::modelName() const {
  const QString shown = Edit5->text();
  if (!modelFullName_.empty() && shown == modelShownName_) return modelFullName_;
  return toUtf8(shown);
}

void TForm2::rememberModel(const std::string& name) {
  modelShownName_ = fromUtf8(name);
  modelFullName_ = toUtf8(QFileInfo(QDir::current(), modelShownName_).absoluteFilePath());
}

QList<QPushButton*> TForm2::commandButtons() const {
  return {Button1,
          Button2,
          Button4,
          Button5,
          Evaluation->CrossValidateButton,
          Evaluation->TuneButton,
          Evaluation->UseButton};
}

void TForm2::startJob(CommandJob::Work work, std::function<void()> done,
                      const QString& progressFormat) {
  StatusBar1->clearMessage();
  jobDone_ = std::move(done);
  job_ = new CommandJob(std::move(work), this);
  connect(job_, &CommandJob::progress, this, &TForm2::showJobProgress);
  connect(job_, &CommandJob::finished, this, &TForm2::jobFinished);
  focusBeforeJob_ = focusWidget();  // disabling its button moves the focus away
  for (QPushButton* b : commandButtons()) b->setEnabled(false);
  ProgressBar1->setFormat(progressFormat);
  ProgressBar1->setRange(0, 0);  // busy until the first progress
  ProgressBar1->setValue(0);
  for (QWidget* w : {static_cast<QWidget*>(TimeLabel), static_cast<QWidget*>(ProgressBar1),
                     static_cast<QWidget*>(CancelButton)}) {
    w->show();
  }
  TimeLabel->clear();
  jobClock_.start();
  clockTimer_->start();
  job_->start();
}

void TForm2::showJobProgress(qint64 done, qint64 total) {
  if (total > 0) {
    // The bar counts in ints; very large counts are scaled.
    const int scale = total > INT_MAX ? static_cast<int>(total / INT_MAX + 1) : 1;
    ProgressBar1->setRange(0, static_cast<int>(total / scale));
    ProgressBar1->setValue(static_cast<int>(done / scale));
  }
  const double seconds = static_cast<double>(jobClock_.elapsed()) / 1000.0;
  QString text = QString("%1 s").arg(seconds, 0, 'f', 0);
  const int value = ProgressBar1->value();
  const int maximum = ProgressBar1->maximum();
  if (value > 0 && value < maximum) {
    text += QString(", about %1 s left")
                .arg(seconds * (maximum - value) / static_cast<double>(value), 0, 'f', 0);
  }
  TimeLabel->setText(text);
}

void TForm2::cancelJob() {
  if (job_ != nullptr) job_->cancel();
}

void TForm2::jobFinished(const QString& failure) {
  clockTimer_->stop();
  for (QWidget* w : {static_cast<QWidget*>(TimeLabel), static_cast<QWidget*>(ProgressBar1),
                     static_cast<QWidget*>(CancelButton)}) {
    w->hide();
  }
  for (QPushButton* b : commandButtons()) b->setEnabled(true);
  Evaluation->UseButton->setEnabled(Evaluation->selectedSet().has_value());
  if (focusBeforeJob_ != nullptr) focusBeforeJob_->setFocus();
  job_->deleteLater();
  job_ = nullptr;
  auto done = std::move(jobDone_);
  jobDone_ = nullptr;
  if (failure.endsWith(" cancelled")) {
    StatusBar1->showMessage(failure);
  } else if (!failure.isEmpty()) {
    showError(fromUtf8(messageWithFullStop(toUtf8(failure))));
  } else if (done) {
    done();
  }
  readWantedPatterns();  // the Patterns tab was opened while the command ran
}

void TForm2::closeEvent(QCloseEvent* event) {
  if (job_ != nullptr) {
    if (!askToCancel()) {
      event->ignore();
      return;
    }
    job_->cancel();
    job_->wait();
  }
  QWidget::closeEvent(event);
}

void TForm2::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) useSystemDecimalSeparator();
  QWidget::changeEvent(event);
}
