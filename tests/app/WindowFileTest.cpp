// The window's menus and File commands: shortcuts, the title, Open Data by dialog, recent list
// and drop, the saves and exports, and what the window remembers between runs.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QTextBrowser>

#include "GeneratedTable.h"
#include "WindowFixture.h"

namespace {

const QString kTitle = "Rule-Based Inductive Learning";

QMimeData* fileDrag(const QString& path) {
  auto* data = new QMimeData();
  data->setUrls({QUrl::fromLocalFile(path)});
  return data;
}

// A drag of the file onto the widget, then the drop, as the system delivers them (a drop
// without the drag before it is not delivered): whether the drag was accepted.
bool dragAndDrop(QWidget* target, const QMimeData* data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted();
}

// Runs a program to the end: its exit code, or -1 when it cannot start.
int run(const QString& program, const QStringList& arguments, const QString& folder) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return -1;
  if (process.exitCode() != 0) qWarning("%s", process.readAllStandardError().constData());
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace

class WindowFileTest : public WindowFixture {
  Q_OBJECT

  QAction* action(const char* name) const { return part<QAction>(name); }
  void showActive() {
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }

 private slots:
  void menusOfferEveryCommandWithShortcuts() {
    const auto* bar = part<QMenuBar>("menuBar");
    QStringList titles;
    for (QAction* menu : bar->actions()) titles << menu->text();
    QCOMPARE(titles, (QStringList{"&File", "&Model", "&Help"}));
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"openDataAction", QKeySequence::Open},
        {"saveTableAction", QKeySequence::Save},
        {"saveForecastAction", QKeySequence("Ctrl+Shift+S")},
        {"quitAction", QKeySequence::Quit},
        {"buildAction", QKeySequence("Ctrl+B")},
        {"loadAction", QKeySequence("Ctrl+L")},
        {"applyAction", QKeySequence("Ctrl+R")},
        {"crossValidateAction", QKeySequence("Ctrl+Shift+V")},
        {"tuneAction", QKeySequence("Ctrl+T")},
        {"cancelAction", QKeySequence("Esc")},
        {"guideAction", QKeySequence::HelpContents}};
    for (const auto& [name, keys] : shortcuts) {
      QCOMPARE(action(name)->shortcut(), keys);
      QVERIFY2(action(name)->text().contains('&'), name);  // an Alt letter
    }
    for (const char* name : {"exportPythonAction", "exportCAction", "exportSqlAction"}) {
      QVERIFY(action(name)->text().contains('&'));
    }

    // Ctrl+B builds; while it runs the commands wait and Esc cancels.
    dataBox()->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    degreeBox()->setValue(3);
    showActive();
    QTest::keyClick(form.get(), Qt::Key_B, Qt::ControlModifier);
    QVERIFY(form->jobRunning());
    QVERIFY(!action("applyAction")->isEnabled());
    QVERIFY(action("cancelAction")->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    waitForJobs(20000);
    QCOMPARE(statusBar()->currentMessage(), QString("Build cancelled"));
    QVERIFY(action("applyAction")->isEnabled());
    QVERIFY(!action("cancelAction")->isEnabled());
    QVERIFY(!QFile::exists(at("LAD.MOD")));
  }

  void helpShowsTheGuideAndAbout() {
    action("guideAction")->trigger();
    auto* guide = part<QDialog>("guideWindow");
    QVERIFY(guide->isVisible());
    const QString text = guide->findChild<QTextBrowser*>("guideText")->toPlainText();
    for (const char* words : {"Grid Size", "Degree", "Positive Homogeneity", "Positive Prevalence",
                              "Negative Homogeneity", "Negative Prevalence", "A worked example",
                              "113 positive and 91 negative"}) {
      QVERIFY2(text.contains(words), words);
    }
    action("guideAction")->trigger();  // raised, not made again
    QCOMPARE(form->findChildren<QDialog*>("guideWindow").size(), 1);
    action("aboutAction")->trigger();
    QVERIFY(part<QDialog>("aboutWindow")->isVisible());
  }

  void parameterBoxesExplainThemselvesAndCountersAreReadOnly() {
    const std::pair<QWidget*, const char*> boxes[] = {
        {gridSizeBox(), "Grid Size"},
        {degreeBox(), "Degree"},
        {positiveHomogeneityBox(), "Positive Homogeneity"},
        {positivePrevalenceBox(), "Positive Prevalence"},
        {negativeHomogeneityBox(), "Negative Homogeneity"},
        {negativePrevalenceBox(), "Negative Prevalence"}};
    for (const auto& [box, caption] : boxes) {
      QVERIFY2(box->toolTip().startsWith(QString(caption) + ": "), caption);
      QCOMPARE(box->toolTip().count(". "), 0);  // one sentence
    }
    for (QSpinBox* counter : {positivePatternsBox(), negativePatternsBox()}) {
      QVERIFY(counter->isReadOnly());
      QCOMPARE(counter->buttonSymbols(), QAbstractSpinBox::NoButtons);
      counter->setFocus();
      QTest::keyClick(counter, Qt::Key_Up);
      QTest::keyClick(counter, Qt::Key_5);
      QCOMPARE(counter->value(), 2);
    }
  }

  // The title names the data file and marks edits; Open Data, Open Recent and a dropped file
  // ask before edits are lost.
  void titleMarksEditsAndOpeningAsksFirst() {
    writeFile(at("first.csv"), "Name,A,Class\nx,1,1\ny,2,0\n");
    writeFile(at("second.txt"), "Name,B,Class\nz,3,1\n");
    QCOMPARE(form->windowTitle(), kTitle);
    QTest::keyClicks(dataBox(), "x");
    QCOMPARE(form->windowTitle(), "untitled* - " + kTitle);

    yes = false;  // keep the edits
    form->openData();
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].contains("not saved"));
    QVERIFY(requests.empty());  // no dialog
    QVERIFY(dataBox()->toPlainText().startsWith("x"));

    yes = true;
    answers.push_back(at("first.csv"));
    form->openData();
    QCOMPARE(dataBox()->toPlainText(), QString("Name,A,Class\nx,1,1\ny,2,0\n"));
    QCOMPARE(form->windowTitle(), "first.csv - " + kTitle);
    QTest::keyClicks(dataBox(), "!");
    QCOMPARE(form->windowTitle(), "first.csv* - " + kTitle);

    // A file dropped on the window, then on the data box.
    const std::unique_ptr<QMimeData> second(fileDrag(at("second.txt")));
    QVERIFY(dragAndDrop(form.get(), second.get()));
    QCOMPARE(questions.size(), 3);
    QCOMPARE(dataBox()->toPlainText(), QString("Name,B,Class\nz,3,1\n"));
    QCOMPARE(form->windowTitle(), "second.txt - " + kTitle);
    QTest::keyClicks(dataBox(), "!");
    const std::unique_ptr<QMimeData> first(fileDrag(at("first.csv")));
    yes = false;
    QVERIFY(dragAndDrop(dataBox()->viewport(), first.get()));
    QCOMPARE(questions.size(), 4);
    QVERIFY(dataBox()->toPlainText().startsWith("!"));
    yes = true;
    QVERIFY(dragAndDrop(dataBox()->viewport(), first.get()));
    QCOMPARE(form->windowTitle(), "first.csv - " + kTitle);
  }

  void recentFilesFolderParametersAndSizeAreRemembered() {
    QDir(work->path()).mkdir("data");
    writeFile(at("data/a.csv"), "Name,A,Class\nx,1,1\n");
    writeFile(at("data/b.csv"), "Name,B,Class\ny,2,0\n");
    for (const char* file : {"data/a.csv", "data/b.csv"}) {
      answers.push_back(at(file));
      form->openData();
    }
    gridSizeBox()->setValue(5);
    degreeBox()->setValue(3);
    positiveHomogeneityBox()->setText("0.85");
    negativePrevalenceBox()->setText("0.05");
    form->resize(1100, 700);
    QVERIFY(form->close());

    newWindow();
    QCOMPARE(gridSizeBox()->value(), 5);
    QCOMPARE(degreeBox()->value(), 3);
    QCOMPARE(positiveHomogeneityBox()->text(), QString("0.85"));
    QCOMPARE(negativePrevalenceBox()->text(), QString("0.05"));
    QCOMPARE(form->size(), QSize(1100, 700));
    // The dialogs start in the folder last chosen.
    answers.push_back(std::nullopt);
    form->openData();
    QCOMPARE(requests.back().directory, at("data"));
    // Open Recent lists the newest first and opens its file.
    auto* recent = part<QMenu>("recentMenu");
    emit recent->aboutToShow();
    QList<QAction*> entries = recent->actions();
    QCOMPARE(entries[0]->text(), QString("&1 b.csv"));
    QCOMPARE(entries[1]->text(), QString("&2 a.csv"));
    entries[1]->trigger();
    QCOMPARE(dataBox()->toPlainText(), QString("Name,A,Class\nx,1,1\n"));
    // A recent file that went away says so and leaves the list.
    QFile::remove(at("data/b.csv"));
    emit recent->aboutToShow();
    recent->actions()[1]->trigger();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot open file \"" + at("data/b.csv")), qPrintable(errors[0]));
    emit recent->aboutToShow();
    QCOMPARE(recent->actions()[0]->text(), QString("&1 a.csv"));
    QCOMPARE(recent->actions()[1]->isSeparator(), true);
  }

  void savesTheTableAndTheForecast() {
    QTest::keyClicks(dataBox(), "#");
    dataBox()->moveCursor(QTextCursor::Start);
    dataBox()->textCursor().deleteChar();  // the sample, edited and put back
    answers.push_back(at("table.txt"));
    form->saveTable();
    QCOMPARE(requests.back().save, true);
    const std::string saved = readFile(at("table.txt"));
    QCOMPARE(plain(saved),
             dataBox()->toPlainText() + (dataBox()->toPlainText().endsWith('\n') ? "" : "\n"));
    QVERIFY(saved.find("\r\n") != std::string::npos);
    QCOMPARE(form->windowTitle(), "table.txt - " + kTitle);

    form->saveForecast();
    QCOMPARE(errors,
             QStringList{"The Forecast tab is empty: Apply Model first, then save its lines."});
    form->buildModel();
    waitForJobs();
    form->applyModel();
    waitForJobs();
    answers.push_back(at("forecast.csv"));
    form->saveForecast();
    const QStringList lines = plain(readFile(at("forecast.csv"))).split('\n');
    QCOMPARE(lines.size(), 18);  // the header, 16 lines and the final break
    QCOMPARE(lines[0], QString("Name,Class,Score"));
    QCOMPARE(lines[1], QString("Obs1,1,0.649324127200233"));
    QVERIFY(statusBar()->currentMessage().startsWith("16 forecast lines saved to "));
  }

  // Each export is code its language's own tools accept; the model's own files are refused.
  void exportsTheModel() {
    form->buildModel();
    waitForJobs();
    answers.push_back(at("model.py"));
    form->exportModel(ExportLanguage::Python);
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    // Obs1 of the sample table scores as Apply Model scores it.
    const QString obs1 =
        "import model, sys; row = dict(zip(['Attr1', 'Attr2', 'Attr3', 'Attr4', 'Attr5', "
        "'Attr6'], [0.069911099, -0.040240716, -0.134972679, -0.09235952, 0.226337331, "
        "-0.294350809])); sys.exit(0 if '%.15g' % model.score(row) == '0.649324127200233' else 3)";
    QCOMPARE(run("python3", {"-c", obs1}, work->path()), 0);
    answers.push_back(at("model.c"));
    form->exportModel(ExportLanguage::C);
    waitForJobs();
    QVERIFY(QFile::exists(at("model.h")));
    QCOMPARE(run("cc", {"-std=c99", "-Wall", "-Werror", "-c", "model.c"}, work->path()), 0);
    QCOMPARE(statusBar()->currentMessage(), "Model exported to " +
                                                QDir::toNativeSeparators(at("model.h")) + " and " +
                                                QDir::toNativeSeparators(at("model.c")) + ".");
    answers.push_back(at("LAD.MOD"));
    const std::string model = readFile(at("LAD.MOD"));
    form->exportModel(ExportLanguage::Sql);
    waitForJobs();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains("a file of the model itself"), qPrintable(errors[0]));
    QCOMPARE(readFile(at("LAD.MOD")), model);
  }
};

QTEST_MAIN(WindowFileTest)
#include "WindowFileTest.moc"
