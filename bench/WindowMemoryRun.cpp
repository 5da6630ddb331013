// The window's memory through one working session on a large model: a build of sonar.train
// at degree 3 (0.9/0.05/0.1/0.05), the Patterns tab, Apply on sonar.test, Why this score?,
// then Open Data of the wdbc test table and Load of a small model. Prints the window's
// resident memory after each step, its peak, and what it holds once the sonar model is no
// longer shown. The real window is driven through its own commands, as a user's clicks would.
//
//   QT_QPA_PLATFORM=offscreen lad_window_memory [DATA_FOLDER]
#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QThread>
#include <cstdio>
#include <fstream>
#include <string>

#include "ExplanationPanel.h"
#include "PatternsPage.h"
#include "WorkbenchWindow.h"

namespace {

// A figure of /proc/self/status, in MB.
long statusMegabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size())) / 1024;
  }
  return -1;
}

void report(const char* step, double seconds) {
  std::printf("%-44s %6.1f s  resident %5ld MB  peak so far %5ld MB\n", step, seconds,
              statusMegabytes("VmRSS"), statusMegabytes("VmHWM"));
  std::fflush(stdout);
}

// Runs the window's events until `done` holds, or fails after `seconds`.
template <class Done>
void waitUntil(Done done, const char* what, int seconds = 600) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
    if (clock.elapsed() > seconds * 1000LL) {
      std::fprintf(stderr, "gave up waiting for %s\n", what);
      std::exit(1);
    }
  }
  QApplication::processEvents();
}

template <class Part>
Part* part(WorkbenchWindow& window, const char* name) {
  auto* found = window.findChild<Part*>(name);
  if (found == nullptr) {
    std::fprintf(stderr, "the window has no %s\n", name);
    std::exit(1);
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QDir data(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(LAD_BENCH_DATA));
  QTemporaryDir work;
  QTemporaryDir settings;
  if (!work.isValid() || !settings.isValid()) return 1;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  QDir::setCurrent(work.path());
  for (const char* name : {"sonar.train.csv", "sonar.test.csv", "wdbc.test.csv"}) {
    if (!QFile::copy(data.filePath(name), QDir(work.path()).filePath(name))) {
      std::fprintf(stderr, "cannot copy %s from %s\n", name, qPrintable(data.path()));
      return 1;
    }
  }
  std::ofstream(QDir(work.path()).filePath("small.csv").toStdString())
      << "Name,A,B,Class\nr1,1,5,1\nr2,2,4,1\nr3,3,3,0\nr4,4,2,0\n";

  WorkbenchWindow window;
  QString nextFile;
  window.setFileChooser([&](const FileDialogRequest&) -> std::optional<QString> {
    return nextFile;
  });
  window.setErrorReporter([](const QString& message) {
    std::fprintf(stderr, "the window reported: %s\n", qPrintable(message));
    std::exit(1);
  });
  window.setQuestion([](const QString&) { return true; });
  window.resize(1280, 900);
  window.show();
  auto* tabs = part<QTabWidget>(window, "tabs");
  const auto idle = [&] { return !window.jobRunning(); };
  report("window shown", 0);

  // A small model to load at the end, built by the window itself.
  QElapsedTimer clock;
  clock.start();
  window.openDataFile(QDir(work.path()).filePath("small.csv"));
  part<QLineEdit>(window, "modelNameBox")->setText("small");
  part<QSpinBox>(window, "gridSizeBox")->setValue(2);
  window.buildModel();
  waitUntil(idle, "the small build");

  window.openDataFile(QDir(work.path()).filePath("sonar.train.csv"));
  part<QLineEdit>(window, "modelNameBox")->setText("sonar3");
  part<QSpinBox>(window, "gridSizeBox")->setValue(8);
  part<QSpinBox>(window, "degreeBox")->setValue(3);
  part<QLineEdit>(window, "positiveHomogeneityBox")->setText("0.9");
  part<QLineEdit>(window, "positivePrevalenceBox")->setText("0.05");
  part<QLineEdit>(window, "negativeHomogeneityBox")->setText("0.1");
  part<QLineEdit>(window, "negativePrevalenceBox")->setText("0.05");
  clock.restart();
  window.buildModel();
  waitUntil(idle, "the sonar build");
  report("built sonar.train at degree 3", clock.elapsed() / 1000.0);

  clock.restart();
  tabs->setCurrentWidget(part<PatternsPage>(window, "patternsPage"));
  waitUntil(idle, "the Patterns tab");
  report("Patterns tab shown", clock.elapsed() / 1000.0);

  clock.restart();
  window.openDataFile(QDir(work.path()).filePath("sonar.test.csv"));
  window.applyModel();
  waitUntil(idle, "Apply");
  report("applied to sonar.test", clock.elapsed() / 1000.0);

  // Why this score? for the third Forecast line, reached with the keyboard.
  clock.restart();
  auto* forecast = part<QPlainTextEdit>(window, "forecastBox");
  tabs->setCurrentWidget(forecast);
  QTextCursor cursor = forecast->textCursor();
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 1);
  forecast->setTextCursor(cursor);
  forecast->setFocus();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(forecast, &press);
  QApplication::sendEvent(forecast, &release);
  auto* panel = part<ExplanationPanel>(window, "explanationPanel");
  waitUntil([&] { return panel->isVisible() && idle(); }, "Why this score?");
  report("Why this score? shown", clock.elapsed() / 1000.0);
  panel->hide();

  clock.restart();
  window.openDataFile(QDir(work.path()).filePath("wdbc.test.csv"));
  nextFile = QDir(work.path()).filePath("small.MOD");
  window.loadModel();
  waitUntil(idle, "Load Model");
  tabs->setCurrentWidget(part<PatternsPage>(window, "patternsPage"));
  waitUntil(idle, "the small model's patterns");
  report("wdbc.test opened, small model loaded", clock.elapsed() / 1000.0);

  std::printf("\npeak resident memory: %ld MB\nafter the sonar model is gone: %ld MB\n",
              statusMegabytes("VmHWM"), statusMegabytes("VmRSS"));
  return 0;
}
