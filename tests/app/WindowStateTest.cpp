// What the window shows stays true to the model and table it names: after another build, a
// model loaded from another folder, a new table, and a command asked for while the patterns
// are read.
#include <QLabel>

#include "JobStatusBar.h"
#include "PatternsPage.h"
#include "WindowFixture.h"

class WindowStateTest : public WindowFixture {
  Q_OBJECT

  PatternsPage* patternsPage() const { return part<PatternsPage>("patternsPage"); }
  // Shows the Patterns tab and waits for its patterns.
  void showPatterns() {
    tabs()->setCurrentWidget(patternsPage());
    waitForJobs();
  }

 private slots:
  void filtersStartAfreshWithEachModel() {
    form->buildModel();
    waitForJobs();
    showPatterns();
    part<QComboBox>("classBox")->setCurrentIndex(2);
    part<QLineEdit>("filterBox")->setText("attr1");
    QTRY_VERIFY(part<PatternTableModel>("patternModel")->rowCount() < 91);
    degreeBox()->setValue(1);
    form->buildModel();
    waitForJobs();
    waitForJobs();  // the patterns, read at once since their tab shows
    QCOMPARE(part<QLineEdit>("filterBox")->text(), QString());
    QCOMPARE(part<QComboBox>("classBox")->currentIndex(), 0);
    QCOMPARE(part<PatternTableModel>("patternModel")->rowCount(),
             positivePatternsBox()->value() + negativePatternsBox()->value());
    // A new table keeps the filter: it is the same model.
    part<QLineEdit>("filterBox")->setText("attr2");
    QTRY_VERIFY(part<PatternTableModel>("patternModel")->rowCount() <
                positivePatternsBox()->value());
    const int filtered = part<PatternTableModel>("patternModel")->rowCount();
    writeFile(at("same.csv"), dataBox()->toPlainText().toStdString());
    answers.push_back(at("same.csv"));
    form->openData();
    waitForJobs();
    QCOMPARE(part<QLineEdit>("filterBox")->text(), QString("attr2"));
    QCOMPARE(part<PatternTableModel>("patternModel")->rowCount(), filtered);
  }

  // One model's patterns at a time: those shown are let go when Apply starts (it reads the
  // model again) and when another table is opened while the tab is hidden, and are read again
  // when the tab shows.
  void patternsAreLetGoUntilWantedAgain() {
    form->buildModel();
    waitForJobs();
    showPatterns();
    PatternTableModel* patterns = part<PatternTableModel>("patternModel");
    const int all = positivePatternsBox()->value() + negativePatternsBox()->value();
    QCOMPARE(patterns->rowCount(), all);
    tabs()->setCurrentWidget(forecastBox());
    form->applyModel();
    QCOMPARE(patterns->rowCount(), 0);
    QVERIFY(part<QLabel>("noteLabel")->text().contains("read when this tab is shown"));
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    showPatterns();
    QCOMPARE(patterns->rowCount(), all);
    tabs()->setCurrentWidget(forecastBox());
    writeFile(at("same.csv"), dataBox()->toPlainText().toStdString());
    answers.push_back(at("same.csv"));
    form->openData();
    waitForJobs();
    QCOMPARE(patterns->rowCount(), 0);
    showPatterns();
    QCOMPARE(patterns->rowCount(), all);
  }

  // A model loaded from one folder and a table opened from another: every tab keeps the model
  // that was loaded, and says which model and table it shows.
  void loadedModelKeptWhenTheTableComesFromElsewhere() {
    QDir(work->path()).mkpath("store");
    QDir(work->path()).mkpath("other");
    QDir::setCurrent(at("store"));
    form->buildModel();
    waitForJobs();
    QDir::setCurrent(work->path());
    newWindow();
    QCOMPARE(positivePatternsBox()->value(), 2);
    answers.push_back(at("store/LAD.MOD"));
    form->loadModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(positivePatternsBox()->value(), 113);
    QCOMPARE(negativePatternsBox()->value(), 91);
    QCOMPARE(statusBar()->currentMessage(),
             "Model " + QDir::toNativeSeparators(QDir(at("store")).canonicalPath() + "/LAD") +
                 " loaded: 113 positive and 91 negative patterns.");

    writeFile(at("other/table.csv"), dataBox()->toPlainText().toStdString());
    answers.push_back(at("other/table.csv"));
    form->openData();
    showPatterns();
    const QString note = part<QLabel>("noteLabel")->text();
    QVERIFY2(!note.contains("Cannot open"), qPrintable(note));
    QVERIFY2(note.contains("store/LAD.MOD") && note.contains("of the data box (table.csv)"),
             qPrintable(note));
    QCOMPARE(part<PatternTableModel>("patternModel")->rowCount(), 113 + 91);
    form->applyModel();
    waitForJobs();
    QCOMPARE(forecastBox()->toPlainText().split('\n').size(), 16);
    QCOMPARE(tabs()->tabToolTip(0), QDir(at("store")).canonicalPath() + "/LAD.MOD");
    QCOMPARE(tabs()->tabToolTip(tabs()->indexOf(forecastBox())),
             QString("The scores of model LAD on the data box (table.csv)"));
  }

  // A command asked for while the patterns are read in the background waits for them, says
  // so, and then runs; the command buttons stay offered meanwhile.
  void commandAskedWhilePatternsAreReadRunsAfterThem() {
    form->buildModel();
    waitForJobs();
    tabs()->setCurrentWidget(patternsPage());
    QVERIFY(form->jobRunning());  // reading the patterns
    QVERIFY(applyModelButton()->isEnabled());
    applyModelButton()->click();
    QCOMPARE(statusBar()->currentMessage(),
             QString("Apply Model starts as soon as the patterns have been read."));
    QTRY_VERIFY_WITH_TIMEOUT(forecastBox()->toPlainText().split('\n').size() == 16, 60000);
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(statusBar()->currentMessage(), QString("16 lines scored."));
    QCOMPARE(part<PatternTableModel>("patternModel")->rowCount(), 113 + 91);
  }

  // The time left shows once the first counts say something; a build says when it writes its
  // files; Apply Model counts its lines.
  void progressPhasesAndCounts() {
    auto* bar = part<JobStatusBar>("statusBar");
    auto* clock = part<QLabel>("timeLabel");
    bar->jobStarted("%v of %m subsets");
    bar->showProgress(1, 100);
    QCOMPARE(clock->text(), QString("0 s"));
    bar->showProgress(20, 100);
    QVERIFY2(clock->text().startsWith("0 s, about "), qPrintable(clock->text()));
    bar->showPhase("Writing files");
    QCOMPARE(clock->text(), QString("Writing files, 0 s"));
    bar->jobEnded();

    form->buildModel();
    waitForJobs();
    QVERIFY2(clock->text().startsWith("Writing files, "), qPrintable(clock->text()));
    form->applyModel();
    QCOMPARE(progressBar()->format(), QString("%v of %m lines"));
    waitForJobs();
    QCOMPARE(progressBar()->maximum(), 16);
    QCOMPARE(progressBar()->value(), 16);
  }
};

QTEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
