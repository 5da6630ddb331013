#include "TForm2.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QVBoxLayout>
#include <climits>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "LadError.h"
#include "NumberText.h"
#include "SampleTable.h"
#include "TextFile.h"

namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
  return text.toStdString();
}

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
    QStringList filters{request.filter};
    if (isPattern(pattern) && !request.filter.contains("(" + pattern + ")")) {
      filters << pattern + " (" + pattern + ")";
    }
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.last());
    dialog.selectFile(pattern);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString name = QFileInfo(chosen).fileName();
    if (!isPattern(name)) return chosen;
    dialog.setDirectory(QFileInfo(chosen).absolutePath());
    pattern = name;
  }
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

  Label1 = label("Grid Size", 32, 8);
  SpinEdit1 = spin(8, 32, 27);
  Label2 = label("Degree", 208, 8);
  SpinEdit2 = spin(2, 208, 27);
  Label3 = label("Positive Homogeneity", 32, 57);
  Edit1 = edit("0.6", 32, 76);
  Label4 = label("Positive Prevalence", 208, 57);
  Edit2 = edit("0.1", 208, 76);
  Label5 = label("Negative Homogeneity", 376, 57);
  Edit3 = edit("0.4", 376, 76);
  Label6 = label("Negative Prevalence", 544, 57);
  Edit4 = edit("0.1", 544, 76);
  Button1 = button("Open Data", 8);
  Button2 = button("Build Model", 39);
  Button4 = button("Load Model", 70);
  Button5 = button("Apply Model", 101);
  Label7 = label("Positive Patterns Found", 32, 103);
  SpinEdit3 = spin(2, 32, 118);
  Label8 = label("Negative Patterns Found", 208, 103);
  SpinEdit4 = spin(2, 208, 118);
  Label9 = label("Name", 776, 45);
  Edit5 = edit("LAD", 809, 42);
}

void TForm2::makePages() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  const QColor tooltip = palette().color(QPalette::ToolTipBase);
  struct Page {
    const char* caption;
    QColor background;
    QPlainTextEdit** box;
  } pages[] = {
      {"Model", palette().color(QPalette::Window), &RichEdit2},
      {"Pattern Space", QColor(168, 211, 255), &RichEdit3},
      {"Pattern Description", QColor(206, 255, 206), &RichEdit4},
      {"Discretized", QColor(166, 202, 240), &RichEdit5},
      {"Forecast", tooltip, &RichEdit6},
  };
  int number = 2;
  for (const Page& page : pages) {
    *page.box = textBox(PageControl1, page.background);
    (*page.box)->setObjectName(QString("RichEdit%1").arg(number++));
    PageControl1->addTab(*page.box, page.caption);
  }
  PageControl1->setCurrentWidget(RichEdit6);
}

QPlainTextEdit* TForm2::tabBox(ModelFileKind kind) const {
  switch (kind) {
    case ModelFileKind::Model:
      return RichEdit2;
    case ModelFileKind::PatternSpace:
      return RichEdit3;
    case ModelFileKind::PatternDescription:
      return RichEdit4;
    case ModelFileKind::Discretized:
      break;
  }
  return RichEdit5;
}

void TForm2::showFile(QPlainTextEdit* box, const std::string& filename) {
  box->setPlainText(displayText(readTextFile(filename)));
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
  const auto chosen = chooseFile({"Open Data", "Text Files (*.txt)", "*.txt", "txt"});
  if (!chosen) return;
  enterFolderOf(*chosen);
  runCommand([&] { RichEdit1->setPlainText(displayText(readTextFile(toUtf8(*chosen)))); });
}

void TForm2::Button2Click() {
  runCommand([this] {
    const LearningParameters parameters{
        toUtf8(SpinEdit1->cleanText()), toUtf8(SpinEdit2->cleanText()), toUtf8(Edit1->text()),
        toUtf8(Edit2->text()),          toUtf8(Edit3->text()),          toUtf8(Edit4->text())};
    const PatternCounts counts =
        runBuildModel(parameters, toUtf8(RichEdit1->toPlainText()), toUtf8(Edit5->text()),
                      [this](ModelFileKind kind, const std::string& filename) {
                        showFile(tabBox(kind), filename);
                        // Let the shown file appear before the next one is written.
                        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                      });
    SpinEdit3->setValue(counts.positive);
    SpinEdit4->setValue(counts.negative);
  });
}

void TForm2::Button4Click() {
  const auto chosen = chooseFile({"Load Model", "Text Files (*.txt)", "*.MOD", "MOD"});
  if (!chosen) return;
  enterFolderOf(*chosen);
  runCommand([&] {
    Edit5->setText(fromUtf8(modelNameOfFile(toUtf8(*chosen))));
    const std::string name = toUtf8(Edit5->text());
    for (const ModelFileKind kind : kModelFileKinds) {
      showFile(tabBox(kind), modelFileName(name, kind));
    }
  });
}

void TForm2::Button5Click() {
  runCommand([this] {
    ApplyReport report;
    report.counts = [this](PatternCounts counts) {
      SpinEdit3->setValue(counts.positive);
      SpinEdit4->setValue(counts.negative);
    };
    report.warning = [this](const std::string& text) {
      StatusBar1->showMessage(fromUtf8(messageWithFullStop(text)));
    };
    report.forecastCleared = [this] { RichEdit6->clear(); };
    report.forecastLine = [this](const std::string& line) {
      RichEdit6->appendPlainText(fromUtf8(line));
    };
    runApplyModel(toUtf8(Edit5->text()), toUtf8(RichEdit1->toPlainText()), report);
    RichEdit6->moveCursor(QTextCursor::Start);  // show the first observations
  });
}

void TForm2::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) useSystemDecimalSeparator();
  QWidget::changeEvent(event);
}
