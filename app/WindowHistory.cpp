// The window's run history: read from the data's folder, shown in the Evaluation tab, and a run
// added there at the end of each build, apply, cross-validation and tune.
#include <QDir>
#include <QFileInfo>

#include "EvaluationPage.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "QtText.h"
#include "RunHistoryView.h"
#include "WorkbenchWindow.h"

QString WorkbenchWindow::historyPath() const {
  const QDir folder = dataFile_.isEmpty() ? QDir::current() : QFileInfo(dataFile_).absoluteDir();
  return folder.filePath(fromUtf8(kRunHistoryFile));
}

void WorkbenchWindow::showRunHistory() {
  const QString path = historyPath();
  evaluationPage_->history()->showHistory(readRunHistory(toUtf8(path)),
                                          QDir::toNativeSeparators(path));
}

void WorkbenchWindow::recordRun(RunRecord run) {
  run.time = timeNow();
  run.table = dataFile_.isEmpty() ? "the data box" : toUtf8(QFileInfo(dataFile_).fileName());
  if (dataBox_->document()->isModified()) run.table += " (edited)";
  evaluationPage_->history()->addRun(run);
  try {
    appendRun(toUtf8(historyPath()), run);
  } catch (const std::exception& e) {
    // The run is done and shown; only its keeping failed, which the status bar says.
    statusBar_->showMessage(statusBar_->currentMessage() + " " +
                            fromUtf8(messageWithFullStop(e.what())));
  }
}
