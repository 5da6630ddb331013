// The window's File commands: Open Data (by the dialog, Open Recent or a dropped file), Save
// Table, Save Forecast as CSV and Export Model, with the title that names the data file and
// the settings kept between runs.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QPlainTextEdit>

#include "ApplyModel.h"
#include "DroppedFile.h"
#include "EvaluationPage.h"
#include "ImportDialog.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "LineFile.h"
#include "ModelExportFiles.h"
#include "Observations.h"
#include "ParameterPanel.h"
#include "QtText.h"
#include "TableIntake.h"
#include "TextFile.h"
#include "WindowLook.h"
#include "WindowSettings.h"
#include "WorkbenchWindow.h"

namespace {

const QString kTitle = "Rule-Based Inductive Learning";

// Writes text lines by the safe save: beside the target, then renamed over it.
void saveLines(const QString& path, const QStringList& lines) {
  LineFileWriter out(toUtf8(path));
  for (const QString& line : lines) out.writeLine(toUtf8(line));
  out.commit();
}

// The lines of a text box, without the empty line after a final line break.
QStringList boxLines(const QPlainTextEdit* box) {
  QStringList lines = box->toPlainText().split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace

FileDialogRequest WorkbenchWindow::fileRequest(const QString& title, const QString& filter,
                                               const QString& initialFileName,
                                               const QString& suffix, bool save) const {
  const QString folder = WindowSettings::lastFolder();
  return {title,  filter, initialFileName,
          suffix, save,   QFileInfo(folder).isDir() ? folder : QString()};
}

QString WorkbenchWindow::tableDescription() const {
  return dataFile_.isEmpty() ? QString("the table in the data box")
                             : "the data box (" + QFileInfo(dataFile_).fileName() + ")";
}

void WorkbenchWindow::updateTitle() {
  const bool edited = dataBox_->document()->isModified();
  if (dataFile_.isEmpty() && !edited) {
    setWindowTitle(kTitle);
    return;
  }
  const QString name = dataFile_.isEmpty() ? QString("untitled") : QFileInfo(dataFile_).fileName();
  setWindowTitle(name + (edited ? "*" : "") + " - " + kTitle);
}

bool WorkbenchWindow::mayDiscardEdits() {
  if (!dataBox_->document()->isModified()) return true;
  const QString name =
      dataFile_.isEmpty() ? QString("The data box") : QFileInfo(dataFile_).fileName();
  return ask_(name + " has edits that are not saved. Discard them?");
}

void WorkbenchWindow::openData() {
  if (job_ != nullptr || !mayDiscardEdits()) return;
  const auto chosen = chooseFile_(fileRequest(
      "Open Data",
      "Data Files (*.txt *.csv *.arff);;Text Files (*.txt);;CSV Files (*.csv);;ARFF Files "
      "(*.arff);;All Files (*)",
      "", "txt", false));
  if (chosen) readDataFile(*chosen);
}

void WorkbenchWindow::openDataFile(const QString& path) {
  if (job_ != nullptr || !mayDiscardEdits()) return;
  readDataFile(path);
}

void WorkbenchWindow::readDataFile(const QString& path) {
  enterFolderOf(path);
  statusBar_->clearMessage();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QString text;
  try {
    text = displayText(readTextFile(toUtf8(path)));
    QApplication::restoreOverrideCursor();
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    WindowSettings::removeRecentFile(path);  // a recent file that went away leaves the list
    reportFailure(e);
    return;
  }
  // A table not in the plain form is read as the import dialog says; Cancel leaves the data
  // box as it was. A text no form reads as a table goes to the data box as it always did,
  // where the commands say what is wrong with it.
  const std::string table = toUtf8(text);
  const QString fileName = QFileInfo(path).fileName();
  const NumberFormat format = numberFormat();
  ReadingOptions reading;
  if (!readsInPlainForm(table, toUtf8(fileName), format)) {
    std::unique_ptr<ImportDialog> dialog;
    try {
      dialog = std::make_unique<ImportDialog>(table, fileName, format, this);
    } catch (const LadError&) {
      // readTextTable refuses it: no preview to show, and the plain form's messages stand.
    }
    if (dialog) {
      if (!runImport_(*dialog)) {
        statusBar_->showMessage(fileName + " not opened.");
        return;
      }
      reading = dialog->options();
    }
  }
  dataBox_->setPlainText(text);
  reading_ = reading;
  if (reading_.any()) {
    try {
      statusBar_->showMessage(fileName + ": " +
                              fromUtf8(readTableSummary(readTrainingTable(
                                  table, toUtf8(fileName), reading_, format))));
    } catch (const LadError& e) {
      statusBar_->showMessage(fromUtf8(e.what()));
    }
  }
  dataFile_ = QFileInfo(path).absoluteFilePath();
  dataBox_->document()->setModified(false);
  updateTitle();
  WindowSettings::addRecentFile(path);
  WindowSettings::setLastFolder(QFileInfo(path).absolutePath());
  // What was judged or counted on the earlier table says so; the patterns are counted again
  // on the new one, unless they wait to explain the Forecast of the earlier one.
  evaluationPage_->tableReplaced(QFileInfo(path).fileName());
  showRunHistory();  // the runs kept in the new data's folder
  wantDataSummary();
  if (!patternsModel_.empty() && !(patternsWanted_ && patternsWanted_->forExplanations)) {
    wantPatterns({patternsModel_, toUtf8(dataBox_->toPlainText()), numberFormat(), false});
  }
}

void WorkbenchWindow::saveTable() {
  const QString initial =
      dataFile_.isEmpty() ? QString("table.txt") : QFileInfo(dataFile_).fileName();
  const auto chosen = chooseFile_(fileRequest(
      "Save Table", "Text Files (*.txt);;CSV Files (*.csv);;All Files (*)", initial, "txt", true));
  if (!chosen) return;
  try {
    saveLines(*chosen, boxLines(dataBox_));
  } catch (const std::exception& e) {
    reportFailure(e);
    return;
  }
  dataFile_ = QFileInfo(*chosen).absoluteFilePath();
  dataBox_->document()->setModified(false);
  updateTitle();
  WindowSettings::addRecentFile(*chosen);
  WindowSettings::setLastFolder(QFileInfo(*chosen).absolutePath());
  statusBar_->showMessage("Table saved to " + QDir::toNativeSeparators(dataFile_) + ".");
}

void WorkbenchWindow::saveForecast() {
  const QStringList lines = boxLines(forecastBox_);
  if (lines.isEmpty()) {
    showError_("The Forecast tab is empty: Apply Model first, then save its lines.");
    return;
  }
  const auto chosen =
      chooseFile_(fileRequest("Save Forecast as CSV", "CSV Files (*.csv);;All Files (*)",
                              panel_->modelName() + "-forecast.csv", "csv", true));
  if (!chosen) return;
  try {
    saveLines(*chosen, QStringList{"Name,Class,Score"} + lines);
  } catch (const std::exception& e) {
    reportFailure(e);
    return;
  }
  WindowSettings::setLastFolder(QFileInfo(*chosen).absolutePath());
  statusBar_->showMessage(QString("%1 forecast lines saved to %2.")
                              .arg(lines.size())
                              .arg(QDir::toNativeSeparators(*chosen)));
}

void WorkbenchWindow::exportModel(ExportLanguage language) {
  if (job_ != nullptr) return;
  struct Kind {
    const char* title;
    const char* filter;
    const char* suffix;
  };
  static const Kind kinds[] = {
      {"Export Model as Python", "Python Files (*.py);;All Files (*)", "py"},
      {"Export Model as C", "C Files (*.c);;All Files (*)", "c"},
      {"Export Model as SQL", "SQL Files (*.sql);;All Files (*)", "sql"}};
  const Kind& kind = kinds[static_cast<int>(language)];
  const QString shownName = panel_->modelName();
  const auto chosen = chooseFile_(fileRequest(kind.title, kind.filter,
                                              QFileInfo(shownName).fileName() + "." + kind.suffix,
                                              kind.suffix, true));
  if (!chosen) return;
  const std::string name = modelName();
  const std::string output = toUtf8(*chosen);
  const NumberFormat format = numberFormat();
  using Written = std::vector<std::string>;
  startJob<Written>(
      [=](CommandJob& job) {
        // With its table layout, so that a model of categories exports reading them.
        const ModelRules rules = rulesOfModel(::loadModel(name, format), name, format);
        return writeExportFiles(rules, language, name, output, &job.cancelFlag());
      },
      [this](Written& files) {
        QStringList shown;
        for (const std::string& file : files) shown << QDir::toNativeSeparators(fromUtf8(file));
        statusBar_->showMessage("Model exported to " + shown.join(" and ") + ".");
      },
      "Exporting");
}

void WorkbenchWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void WorkbenchWindow::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  if (job_ != nullptr) {
    statusBar_->showMessage("A command is running: drop the file again when it has ended.");
    return;
  }
  openDataFile(file);
}

void WorkbenchWindow::restoreSettings() {
  if (const std::optional<ParameterTexts> texts = WindowSettings::parameters()) {
    panel_->setBoxTexts(*texts);
  }
  const WindowSettings::MethodChoices choices = WindowSettings::methodChoices();
  panel_->setCoverTarget(choices.coverTarget);
  panel_->setDiscretization(choices.discretization);
  evaluationPage_->setUndecidedRule(choices.undecided);
  const QSize size = WindowSettings::windowSize();
  if (size.isValid()) resize(size.expandedTo(minimumSize()));
}

void WorkbenchWindow::saveSettings() const {
  WindowSettings::setParameters(panel_->boxTexts());
  WindowSettings::setMethodChoices(
      {panel_->coverTarget(), panel_->discretization(), evaluationPage_->undecidedRule()});
  WindowSettings::setWindowSize(size());
}

WorkbenchWindow::TableReadingTaken WorkbenchWindow::takeReading(const std::string& table) {
  TableReadingTaken taken;
  if (!reading_.any()) return taken;
  // An edit that made the text a plain-form table makes it read as one.
  if (readsInPlainForm(table, taken.source, numberFormat())) {
    reading_ = {};
    return taken;
  }
  taken.reading = reading_;
  if (!dataFile_.isEmpty()) taken.source = toUtf8(QFileInfo(dataFile_).fileName());
  return taken;
}
