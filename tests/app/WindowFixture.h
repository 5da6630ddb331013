// The real window on the offscreen platform for Qt Test, with its dialogs, questions and error
// box replaced and its settings kept in a temporary folder: each test gets a fresh window in a
// fresh current folder, with empty settings.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <fstream>

#include "ImportDialog.h"
#include "WorkbenchWindow.h"

inline std::string readFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const QString& path, const std::string& content) {
  std::ofstream(path.toStdString(), std::ios::binary) << content;
}

inline QString plain(const std::string& fileText) {
  QString text = QString::fromUtf8(fileText.data(), static_cast<qsizetype>(fileText.size()));
  text.replace("\r\n", "\n");
  return text;
}

class WindowFixture : public QObject {
  Q_OBJECT

 protected:
  std::unique_ptr<QTemporaryDir> work;  // a fresh folder per test
  QString startDir;
  QTemporaryDir settingsDir;  // the settings of every window of the run
  std::unique_ptr<WorkbenchWindow> form;
  std::deque<std::optional<QString>> answers;  // what the replaced dialog returns next
  std::vector<FileDialogRequest> requests;
  QStringList errors;
  QStringList questions;  // asked of the user, each answered by `yes`
  bool yes = true;

  QString at(const QString& name) const { return QDir(work->path()).filePath(name); }
  // The window's parts, found by the names they are given.
  template <class Part>
  Part* part(const char* name) const {
    auto* found = form->findChild<Part*>(name);
    if (found == nullptr) qFatal("the window has no %s", name);
    return found;
  }
  QPlainTextEdit* dataBox() const { return part<QPlainTextEdit>("dataBox"); }
  QPlainTextEdit* modelFileBox() const { return part<QPlainTextEdit>("modelFileBox"); }
  QPlainTextEdit* patternSpaceBox() const { return part<QPlainTextEdit>("patternSpaceBox"); }
  QPlainTextEdit* patternDescriptionBox() const {
    return part<QPlainTextEdit>("patternDescriptionBox");
  }
  QPlainTextEdit* discretizedBox() const { return part<QPlainTextEdit>("discretizedBox"); }
  QPlainTextEdit* forecastBox() const { return part<QPlainTextEdit>("forecastBox"); }
  QSpinBox* gridSizeBox() const { return part<QSpinBox>("gridSizeBox"); }
  QSpinBox* degreeBox() const { return part<QSpinBox>("degreeBox"); }
  QSpinBox* positivePatternsBox() const { return part<QSpinBox>("positivePatternsBox"); }
  QSpinBox* negativePatternsBox() const { return part<QSpinBox>("negativePatternsBox"); }
  QLineEdit* positiveHomogeneityBox() const { return part<QLineEdit>("positiveHomogeneityBox"); }
  QLineEdit* positivePrevalenceBox() const { return part<QLineEdit>("positivePrevalenceBox"); }
  QLineEdit* negativeHomogeneityBox() const { return part<QLineEdit>("negativeHomogeneityBox"); }
  QLineEdit* negativePrevalenceBox() const { return part<QLineEdit>("negativePrevalenceBox"); }
  QLineEdit* modelNameBox() const { return part<QLineEdit>("modelNameBox"); }
  QPushButton* buildModelButton() const { return part<QPushButton>("buildModelButton"); }
  QPushButton* applyModelButton() const { return part<QPushButton>("applyModelButton"); }
  QStatusBar* statusBar() const { return part<QStatusBar>("statusBar"); }
  QProgressBar* progressBar() const { return part<QProgressBar>("progressBar"); }
  QTabWidget* tabs() const { return part<QTabWidget>("tabs"); }

  // A new window in place of the current one, in the same folder and with the same settings.
  void newWindow() {
    form = std::make_unique<WorkbenchWindow>();
    form->setFileChooser([this](const FileDialogRequest& request) {
      requests.push_back(request);
      if (answers.empty())
        qFatal("a file dialog that the test did not expect: %s", qPrintable(request.title));
      auto answer = answers.front();
      answers.pop_front();
      return answer;
    });
    form->setErrorReporter([this](const QString& message) { errors << message; });
    form->setImportRunner([](ImportDialog& dialog) {
      qFatal("an import dialog that the test did not expect: %s", qPrintable(dialog.windowTitle()));
      return false;
    });
    form->setQuestion([this](const QString& question) {
      questions << question;
      return yes;
    });
  }
  // Waits for the running command, and for the patterns it may read after.
  void waitForJobs(int milliseconds = 60000) {
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), milliseconds);
  }

 private slots:
  void initTestCase() {
    startDir = QDir::currentPath();
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  }
  void cleanupTestCase() { QDir::setCurrent(startDir); }

  void init() {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "lad", "lad-workbench").clear();
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    QDir::setCurrent(work->path());
    answers.clear();
    requests.clear();
    errors.clear();
    questions.clear();
    yes = true;
    newWindow();
  }
  void cleanup() {
    form.reset();
    QDir::setCurrent(startDir);
    work.reset();
  }
};
