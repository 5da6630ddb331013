// Drives the real window through its commands, tabs and views.
#include <QClipboard>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "FileView.h"
#include "GeneratedTable.h"
#include "LadError.h"
#include "NumberText.h"
#include "PatternsPage.h"
#include "SampleTable.h"
#include "WindowFixture.h"

class WindowTest : public WindowFixture {
  Q_OBJECT

 private:
  EvaluationPage* evaluationPage() const { return part<EvaluationPage>("evaluationPage"); }
  PatternsPage* patternsPage() const { return part<PatternsPage>("patternsPage"); }
  ExplanationPanel* explanationPanel() const { return part<ExplanationPanel>("explanationPanel"); }

 private slots:
  void startState() {
    QCOMPARE(form->windowTitle(), QString("Rule-Based Inductive Learning"));
    // The window of 1017 x 565, its menu bar above and its status bar below.
    QCOMPARE(form->size(), QSize(1017, 565 + part<QWidget>("menuBar")->sizeHint().height() +
                                           statusBar()->sizeHint().height()));
    QCOMPARE(statusBar()->currentMessage(), QString());
    QCOMPARE(modelNameBox()->text(), QString("LAD"));
    QCOMPARE(gridSizeBox()->value(), 8);
    QCOMPARE(degreeBox()->value(), 2);
    QCOMPARE(positivePatternsBox()->value(), 2);
    QCOMPARE(negativePatternsBox()->value(), 2);
    QCOMPARE(positiveHomogeneityBox()->text(), QString("0.6"));
    QCOMPARE(negativePrevalenceBox()->text(), QString("0.1"));
    QCOMPARE(tabs()->currentWidget(), forecastBox());
    const QStringList captions{"Model",       "Pattern Space", "Pattern Description",
                               "Discretized", "Forecast",      "Evaluation",
                               "Patterns",    "Data"};
    QCOMPARE(tabs()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
      QCOMPARE(tabs()->tabText(i), captions[i]);
    }
    for (auto* box : {modelFileBox(), patternSpaceBox(), patternDescriptionBox(), discretizedBox(),
                      forecastBox()}) {
      QVERIFY(box->toPlainText().isEmpty());
      // A monospace face large enough that ">=" never reads as ">-".
      QVERIFY(QFontInfo(box->font()).fixedPitch());
      QCOMPARE(box->font().pointSize(), 10);
    }
    QCOMPARE(dataBox()->toPlainText().toStdString(), sampleTable());
    QCOMPARE(buildModelButton()->text(), QString("Build Model"));
    QCOMPARE(buildModelButton()->geometry(), QRect(688, 39, 75, 25));
    QCOMPARE(positivePatternsBox()->minimum(), INT_MIN);
  }

  void buildThenApply() {
    forecastBox()->setPlainText("old forecast");
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(positivePatternsBox()->value(), 113);
    QCOMPARE(negativePatternsBox()->value(), 91);
    QCOMPARE(modelFileBox()->toPlainText(), plain(readFile(at("LAD.MOD"))));
    QCOMPARE(patternSpaceBox()->toPlainText(), plain(readFile(at("LAD.PAT"))));
    QCOMPARE(patternDescriptionBox()->toPlainText(), plain(readFile(at("LAD.DES"))));
    QCOMPARE(discretizedBox()->toPlainText(), plain(readFile(at("LAD.GRD"))));
    QCOMPARE(modelFileBox()->document()->blockCount(), 212);  // 211 lines and the final break
    QCOMPARE(forecastBox()->toPlainText(), QString("old forecast"));
    QCOMPARE(tabs()->currentWidget(), forecastBox());

    positivePatternsBox()->setValue(0);
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(positivePatternsBox()->value(), 113);
    const QStringList lines = forecastBox()->toPlainText().split('\n');
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QString("Obs1,1,0.649324127200233"));
    QCOMPARE(lines[15], QString("Obs16,0,0.00875230963726542"));
  }

  void evaluationAfterApply() {
    QVERIFY(part<QPlainTextEdit>("figuresText")->toPlainText().startsWith("Apply a model"));
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    const QString figures = part<QPlainTextEdit>("figuresText")->toPlainText();
    QVERIFY2(figures.contains("Accuracy: 0.6875 (undecided count as wrong)"), qPrintable(figures));
    QVERIFY(figures.contains("AUC: 1.0000"));
    // The ROC curve (16 distinct scores and the origin) beside the chance line, and the
    // distribution of both classes.
    const QList<QAbstractSeries*> roc = part<QChartView>("rocView")->chart()->series();
    QCOMPARE(roc.size(), 2);
    QCOMPARE(static_cast<QLineSeries*>(roc[0])->count(), 17);
    QCOMPARE(part<QChartView>("distributionView")->chart()->series().size(), 2);
    QVERIFY(part<QChartView>("rocView")->chart()->title().endsWith("AUC 1.0000"));
    // The Forecast text is the scores alone, as before.
    QCOMPARE(forecastBox()->toPlainText().split('\n')[0], QString("Obs1,1,0.649324127200233"));

    // Another table in the data box: the figures say they are of the earlier one.
    writeFile(at("other.csv"), "Name,A,Class\nx,1,1\n");
    answers.push_back(at("other.csv"));
    form->openData();
    QVERIFY(part<QPlainTextEdit>("figuresText")
                ->toPlainText()
                .startsWith("Open Data has put other.csv in the data box: the figures below are of "
                            "the table before "
                            "it.\n\nModel LAD applied"));
  }

  void modelKeptByItsFullPathWhenTheFolderChanges() {
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    // Open Data of a test table in another folder makes that folder current.
    QDir(work->path()).mkdir("tests");
    writeFile(at("tests/test.csv"), sampleTable());
    answers.push_back(at("tests/test.csv"));
    form->openData();
    QCOMPARE(QDir::currentPath(), at("tests"));
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(forecastBox()->toPlainText().split('\n').size(), 16);
    // A name typed anew is taken in the current folder.
    modelNameBox()->setText("LAD2");
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(at("tests/LAD2.MOD")), qPrintable(errors[0]));
  }

  void crossValidateAndTune() {
    EvaluationPage* page = evaluationPage();
    part<QSpinBox>("foldsBox")->setValue(4);
    part<QPushButton>("crossValidateButton")->click();
    QVERIFY(form->jobRunning());
    QVERIFY(!part<QPushButton>("tuneButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QVERIFY(part<QPlainTextEdit>("figuresText")->toPlainText().contains("\n Mean "));
    QCOMPARE(tabs()->currentWidget(), page);
    QVERIFY(!QFile::exists(at("LAD.MOD")));  // nothing written

    positiveHomogeneityBox()->setText("abc");  // the lists stand in for the threshold boxes
    part<QLineEdit>("positiveHomogeneityList")->setText("0.9; 0.7");
    part<QLineEdit>("positivePrevalenceList")->setText("0.1");
    part<QLineEdit>("negativeHomogeneityList")->setText("0.1 0.3");
    part<QLineEdit>("negativePrevalenceList")->setText("0.1");
    part<QPushButton>("tuneButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(part<QTableWidget>("tuningTable")->rowCount(), 4);
    QVERIFY(part<QTableWidget>("tuningTable")->isVisible() || !form->isVisible());
    // Sorted by a column, the chosen row still gives its own parameters.
    part<QTableWidget>("tuningTable")->sortByColumn(3, Qt::DescendingOrder);
    part<QTableWidget>("tuningTable")->selectRow(0);
    QVERIFY(part<QPushButton>("useButton")->isEnabled());
    const QString negativeHomogeneity = part<QTableWidget>("tuningTable")->item(0, 3)->text();
    QCOMPARE(negativeHomogeneity, QString("0.3"));
    part<QPushButton>("useButton")->click();
    QCOMPARE(negativeHomogeneityBox()->text(), negativeHomogeneity);
    QCOMPARE(positiveHomogeneityBox()->text(),
             part<QTableWidget>("tuningTable")->item(0, 1)->text());
    QCOMPARE(positivePrevalenceBox()->text(), QString("0.1"));

    part<QLineEdit>("negativePrevalenceList")->setText("0.1; 7");
    part<QPushButton>("tuneButton")->click();
    QVERIFY(!form->jobRunning());
    QCOMPARE(errors, QStringList{"Negative Prevalence: every value must lie between 0 and 1 (one "
                                 "is '7')"});
    QCOMPARE(form->focusWidget(), part<QLineEdit>("negativePrevalenceList"));
  }

  void patternsTabFillsSortsAndFilters() {
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    PatternsPage* page = patternsPage();
    PatternTableModel* model = part<PatternTableModel>("patternModel");
    // The patterns are read when the tab is first shown.
    QCOMPARE(model->rowCount(), 0);
    tabs()->setCurrentWidget(page);
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(model->rowCount(), 113 + 91);
    QVERIFY(statusBar()->currentMessage().startsWith("Model written to "));  // kept
    QVERIFY2(part<QLabel>("noteLabel")->text().contains("counted on the 16 observations"),
             qPrintable(part<QLabel>("noteLabel")->text()));
    const auto cell = [&](int row, int column) {
      return model->data(model->index(row, column), Qt::DisplayRole).toString();
    };
    QCOMPARE(cell(0, PatternTableModel::Name), QString("P1"));
    QCOMPARE(cell(0, PatternTableModel::Rule), QString("-0.294350809 <= Attr6 < 0.334246251"));
    QCOMPARE(cell(0, PatternTableModel::Positive), QString("8"));
    QCOMPARE(cell(0, PatternTableModel::Homogeneity), QString("0.6667"));

    part<QTableView>("patternView")
        ->sortByColumn(PatternTableModel::Homogeneity, Qt::DescendingOrder);
    for (int r = 1; r < model->rowCount(); ++r) {
      QVERIFY(cell(r - 1, PatternTableModel::Homogeneity).toDouble() >=
              cell(r, PatternTableModel::Homogeneity).toDouble());
    }
    part<QComboBox>("classBox")->setCurrentIndex(2);  // negative patterns only
    QCOMPARE(model->rowCount(), 91);
    part<QLineEdit>("filterBox")->setText("attr1");
    QTRY_VERIFY(model->rowCount() < 91);
    QVERIFY(model->rowCount() > 0);
    for (int r = 0; r < model->rowCount(); ++r) {
      QVERIFY(cell(r, PatternTableModel::Name).startsWith("N"));
      QVERIFY(cell(r, PatternTableModel::Rule).contains("Attr1"));
    }
    // Selecting a pattern lists the observations it covers.
    part<QTableView>("patternView")->selectRow(0);
    const int covered =
        cell(0, PatternTableModel::Positive).toInt() + cell(0, PatternTableModel::Negative).toInt();
    const QStringList lines = part<QPlainTextEdit>("coveredText")->toPlainText().split('\n');
    QCOMPARE(lines.size(), covered + 1);
    QVERIFY(lines[0].startsWith(cell(0, PatternTableModel::Name) + " covers "));
  }

  void whyThisScore() {
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(!explanationPanel()->isVisible());
    // The cursor on Obs2's line, then one line down with the keyboard: Obs3.
    QTextCursor cursor = forecastBox()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    forecastBox()->setTextCursor(cursor);
    QVERIFY(!explanationPanel()->isVisible());  // a cursor moved by the program explains nothing
    QTest::keyClick(forecastBox(), Qt::Key_Down);
    QTRY_VERIFY(explanationPanel()->isVisible());
    const QString text = explanationPanel()->text();
    QVERIFY2(text.startsWith("Obs3 (line 4, class 1): score 0.470777010600019"), qPrintable(text));
    QVERIFY(part<QLabel>("summaryLabel")
                ->text()
                .contains("= 83/113 positive patterns - 24/91 negative patterns"));
    // For, Against and the near misses, each with its patterns; the long ones folded.
    QTreeWidget* sections = part<QTreeWidget>("sections");
    QCOMPARE(sections->topLevelItemCount(), 3);
    QVERIFY(sections->topLevelItem(0)->text(0).startsWith("For: 83 patterns"));
    QCOMPARE(sections->topLevelItem(0)->childCount(), 83);
    QVERIFY(!sections->topLevelItem(0)->isExpanded());
    QCOMPARE(sections->topLevelItem(1)->childCount(), 24);
    QVERIFY(sections->topLevelItem(1)->isExpanded());
    QVERIFY(sections->topLevelItem(2)->text(0).startsWith("Near misses: "));
    QVERIFY(sections->topLevelItem(2)->isExpanded());
    QVERIFY(sections->topLevelItem(2)->child(0)->text(0).contains(" fails: "));
    // A new Apply Model takes the old explanation away.
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(!explanationPanel()->isVisible());
  }

  void adviceOnAUselessModel() {
    dataBox()->setPlainText("Name,A,B,Class\nx,1,5,1\ny,2,4,0\nz,3,3,0\nw,4,2,0\nv,5,1,1\nu,6,0,0");
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QVERIFY2(statusBar()->currentMessage().startsWith(
                 "Negative Homogeneity 0.4 lets one box cover all 6 observations; try 0.3. Model "
                 "written to "),
             qPrintable(statusBar()->currentMessage()));
  }

  void badParameterChangesNothing() {
    positiveHomogeneityBox()->setText("abc");
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors,
             QStringList{"Positive Homogeneity: 'abc' is not a valid floating point value."});
    QCOMPARE(form->focusWidget(), positiveHomogeneityBox());  // the box to put right
    QCOMPARE(positivePatternsBox()->value(), 2);
    QVERIFY(modelFileBox()->toPlainText().isEmpty());
    QVERIFY(!QFile::exists(at("LAD.MOD")));

    positiveHomogeneityBox()->setText("0.6");
    dataBox()->setPlainText("Name only");
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.last(), QString("Range check error."));
  }

  void applyWithoutModel() {
    modelNameBox()->setText("absent");
    forecastBox()->setPlainText("kept");
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot open file \"" + at("absent.MOD") + "\". "),
             qPrintable(errors[0]));
    QVERIFY(errors[0].endsWith("."));
    QCOMPARE(forecastBox()->toPlainText(), QString("kept"));
    QCOMPARE(positivePatternsBox()->value(), 2);
  }

  void loadModel() {
    // A stored model in another folder: choosing it makes that folder current.
    QDir(work->path()).mkdir("store");
    QDir::setCurrent(at("store"));
    modelNameBox()->setText("A.MODEL");
    form->buildModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(QFile::exists(at("store/A.MODEL.MOD")));
    QDir::setCurrent(work->path());
    modelNameBox()->setText("LAD");
    for (auto* box :
         {modelFileBox(), patternSpaceBox(), patternDescriptionBox(), discretizedBox()}) {
      box->setPlainText("old");
    }

    answers.push_back(std::nullopt);  // cancel
    form->loadModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(modelNameBox()->text(), QString("LAD"));
    QCOMPARE(modelFileBox()->toPlainText(), QString("old"));
    QCOMPARE(requests.back().initialFileName, QString("*.MOD"));
    QCOMPARE(requests.back().filter, QString("Model Files (*.MOD)"));

    answers.push_back(at("store/A.MODEL.MOD"));
    form->loadModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(modelNameBox()->text(), QString("A.MODEL"));
    QCOMPARE(QDir::currentPath(), QDir(at("store")).canonicalPath());
    QCOMPARE(patternDescriptionBox()->toPlainText(), plain(readFile(at("store/A.MODEL.DES"))));

    // A file missing half-way: the tabs before it show the new model, the rest keep theirs.
    QFile::remove(at("store/A.MODEL.DES"));
    QFile::copy(at("store/A.MODEL.MOD"), at("store/B.MOD"));
    QFile::copy(at("store/A.MODEL.PAT"), at("store/B.PAT"));
    for (auto* box :
         {modelFileBox(), patternSpaceBox(), patternDescriptionBox(), discretizedBox()}) {
      box->setPlainText("old");
    }
    answers.push_back(at("store/B.MOD"));
    form->loadModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(modelNameBox()->text(), QString("B"));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot open file \"" + at("store/B.DES") + "\". "),
             qPrintable(errors[0]));
    QVERIFY(modelFileBox()->toPlainText().startsWith("Attributes="));
    QVERIFY(patternSpaceBox()->toPlainText().startsWith("Pattern,P1"));
    QCOMPARE(patternDescriptionBox()->toPlainText(), QString("old"));
    QCOMPARE(discretizedBox()->toPlainText(), QString("old"));

    // Apply Model scores with the model Load Model showed.
    form->applyModel();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(positivePatternsBox()->value(), 113);
    QCOMPARE(forecastBox()->toPlainText().split('\n').size(), 16);
  }

  void openData() {
    const std::string table = "Name,A\xC3\xA9,Class\nx,1,1";
    writeFile(at("plain.txt"), table);
    writeFile(
        at("utf16.txt"), std::string("\xFF\xFE", 2) + [&] {
          std::string units;
          const QString text = QString::fromUtf8(table.c_str());
          for (QChar c : text) {
            units += static_cast<char>(c.unicode() & 0xFF);
            units += static_cast<char>(c.unicode() >> 8);
          }
          return units;
        }());
    answers.push_back(at("plain.txt"));
    form->openData();
    QCOMPARE(dataBox()->toPlainText(), QString::fromUtf8(table.c_str()));
    dataBox()->clear();
    answers.push_back(at("utf16.txt"));
    form->openData();
    QCOMPARE(dataBox()->toPlainText(), QString::fromUtf8(table.c_str()));
    // The dialog lists every table file, and any file on request.
    QCOMPARE(requests.back().filter.split(";;").first(),
             QString("Data Files (*.txt *.csv *.arff)"));
    QVERIFY(requests.back().filter.endsWith("All Files (*)"));

    answers.push_back(std::nullopt);
    form->openData();
    answers.push_back(at("missing.txt"));
    form->openData();
    QCOMPARE(dataBox()->toPlainText(), QString::fromUtf8(table.c_str()));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].startsWith("Cannot open file \"" + at("missing.txt") + "\". "));
  }

  // A long build runs off the window's thread: the window keeps handling events, progress
  // reaches the bar, and Cancel stops it with the earlier files as they were.
  void longBuildShowsProgressAndCancels() {
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"})
      writeFile(at(QString("LAD") + ext), "earlier");
    dataBox()->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    degreeBox()->setValue(3);
    bool timerFired = false;
    QTimer::singleShot(20, [&] { timerFired = true; });
    form->buildModel();
    QVERIFY(form->jobRunning());
    QVERIFY(!applyModelButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(progressBar()->value() > 0, 20000);
    QVERIFY(timerFired);
    QVERIFY(form->jobRunning());
    form->cancelJob();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 20000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(statusBar()->currentMessage(), QString("Build cancelled"));
    QVERIFY(applyModelButton()->isEnabled());
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) {
      QCOMPARE(readFile(at(QString("LAD") + ext)), std::string("earlier"));
    }
    QCOMPARE(QDir(work->path()).entryList(QDir::Files).size(), 4);
  }

  void tuningShowsModelsDoneAndCancels() {
    dataBox()->setPlainText(QString::fromStdString(generatedTable(150, 30, 5)));
    part<QPushButton>("tuneButton")->click();
    QVERIFY(form->jobRunning());
    QTRY_VERIFY_WITH_TIMEOUT(progressBar()->value() > 0, 20000);
    QCOMPARE(progressBar()->format(), QString("%v of %m models"));
    QCOMPARE(progressBar()->maximum(), 36 * 10);
    form->cancelJob();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 20000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(statusBar()->currentMessage(), QString("Tuning cancelled"));
    QVERIFY(part<QPushButton>("tuneButton")->isEnabled());
  }

  // Closing during a command asks first; keeping the command keeps the window.
  void closeDuringAJobAsks() {
    dataBox()->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    degreeBox()->setValue(3);
    form->show();
    int asked = 0;
    bool answer = false;
    form->setCancelQuestion([&] {
      ++asked;
      return answer;
    });
    form->buildModel();
    QVERIFY(!form->close());
    QCOMPARE(asked, 1);
    QVERIFY(form->jobRunning());
    answer = true;
    QVERIFY(form->close());
    QCOMPARE(asked, 2);
    QVERIFY(!QFile::exists(at("LAD.MOD")));
  }

  // A 300 MB file opens in the file view, exact at its start, middle and end, and text is
  // found and copied.
  void largeFileView() {
    const QString big = at("big.PAT");
    {
      std::ofstream out(big.toStdString(), std::ios::binary);
      std::string line(3000, '0');
      for (int i = 0; i < 100000; ++i) {
        const std::string number = std::to_string(i);
        line.replace(0, number.size() + 1, number + ",");
        out << line << "\r\n";
      }
      out << "the end";
    }
    FileView view;
    view.resize(400, 300);
    QVERIFY(view.open(big));
    QCOMPARE(view.lineCount(), qint64{100001});
    QCOMPARE(view.line(0).left(6), QByteArray("0,0000"));
    QCOMPARE(view.line(0).size(), 3000);
    QCOMPARE(view.line(50000).left(8), QByteArray("50000,00"));
    QCOMPARE(view.line(100000), QByteArray("the end"));
    QVERIFY(view.find("77777,"));
    QCOMPARE(view.topLine() <= 77777 && 77777 < view.topLine() + 100, true);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("77777,"));
    QVERIFY(!view.find("absent text"));
  }

  void decimalSeparatorFollowsTheLocale() {
    // The window reads numbers as the regional settings say, and reads them again when told
    // that they changed.
    QCOMPARE(QString::fromStdString(form->numberFormat().decimalSeparator),
             QLocale::system().decimalPoint());
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &change);
    QCOMPARE(QString::fromStdString(form->numberFormat().decimalSeparator),
             QLocale::system().decimalPoint());
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
