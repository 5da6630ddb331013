// The window's choices around a build and an evaluation: pattern selection and cut points, the
// undecided rule, the rows table, the run history, the Data tab and the cost question before a
// long cross-validation or tune.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QtCharts/QChartView>

#include "DataPage.h"
#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "GeneratedTable.h"
#include "RunHistory.h"
#include "RunHistoryView.h"
#include "SampleTable.h"
#include "WindowFixture.h"

class WindowChoicesTest : public WindowFixture {
  Q_OBJECT

  EvaluationPage* evaluationPage() const { return part<EvaluationPage>("evaluationPage"); }
  QSpinBox* selectionBox() const { return part<QSpinBox>("selectionBox"); }
  QComboBox* cutPointsBox() const { return part<QComboBox>("cutPointsBox"); }
  QComboBox* undecidedBox() const { return part<QComboBox>("undecidedBox"); }
  QString figures() const { return part<QPlainTextEdit>("figuresText")->toPlainText(); }
  QAbstractItemModel* rows() const { return part<QTableView>("rowsView")->model(); }

 private slots:
  void selectionAndCutPointsGoIntoTheBuildAndAreRemembered() {
    QCOMPARE(selectionBox()->text(), QString("keep all"));
    QCOMPARE(cutPointsBox()->currentText(), QString("equal frequency"));
    form->buildModel();
    waitForJobs();
    const QString plainMessage = statusBar()->currentMessage();
    QVERIFY(!plainMessage.contains("selection") && !plainMessage.contains("Class-aware"));
    const std::string fullModel = readFile(at("LAD.MOD"));

    selectionBox()->setValue(1);
    cutPointsBox()->setCurrentIndex(1);
    form->buildModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    const QString message = statusBar()->currentMessage();
    QVERIFY2(message.contains(QRegularExpression(
                 "The selection kept \\d+ of \\d+ positive and \\d+ of \\d+ negative patterns\\.")),
             qPrintable(message));
    QVERIFY2(
        message.contains(QRegularExpression("Class-aware cut points kept \\d of 6 attributes\\.")),
        qPrintable(message));
    QCOMPARE(statusBar()->toolTip(), message);  // whole, where the bar is too narrow for it
    QVERIFY(readFile(at("LAD.MOD")) != fullModel);
    // The same, where the status bar cannot cut it.
    const QString note = part<QLabel>("buildNote")->text();
    QVERIFY2(note.startsWith("The selection kept ") && note.contains("\nClass-aware"),
             qPrintable(note));

    form->close();
    newWindow();
    QCOMPARE(selectionBox()->value(), 1);
    QCOMPARE(cutPointsBox()->currentIndex(), 1);
    QCOMPARE(undecidedBox()->currentIndex(), 0);  // the larger class, by default
  }

  // Rows of score 0 are judged by the rule chosen; the rows table follows, filters the wrong
  // ones and explains a row on a double-click.
  void undecidedRuleRowsTableAndWhyThisScore() {
    EvaluationPage* page = evaluationPage();
    std::vector<ScoredRow> scored{
        {"a", "1", 1, 0.5}, {"b", "0", 0, 0.0}, {"c", "1", 1, 0.0}, {"d", "0", 0, 0.25}};
    // More negatives in the training table: undecided rows count as class 0.
    const Metrics metrics = page->showTestSet(
        "Model M applied to t", scored, ClassCounts{3, 5},
        "Model: 1 positive and 1 negative patterns, 2 conditions in all", NumberFormat{});
    QCOMPARE(metrics.decidedByRule, 2);
    QVERIFY2(figures().contains("Accuracy: 0.5000 (undecided count as class 0: 2 decided so)"),
             qPrintable(figures()));
    QVERIFY(figures().endsWith("Model: 1 positive and 1 negative patterns, 2 conditions in all"));
    QVERIFY(part<QChartView>("rocView")->chart()->title().startsWith("Test set: ROC curve"));
    QCOMPARE(rows()->rowCount(), 4);
    QCOMPARE(rows()->index(1, 2).data().toString(), QString("0 (rule)"));
    QCOMPARE(rows()->index(2, 4).data().toString(), QString("wrong"));

    undecidedBox()->setCurrentIndex(1);  // wrong: judged again at once
    QVERIFY(figures().contains("Accuracy: 0.2500 (undecided count as wrong)"));
    QCOMPARE(rows()->index(1, 2).data().toString(), QString("undecided"));
    part<QCheckBox>("wrongOnlyBox")->setChecked(true);
    QCOMPARE(rows()->rowCount(), 3);
    // Sorted by score, the filter still passes the wrong rows only.
    part<QTableView>("rowsView")->sortByColumn(3, Qt::DescendingOrder);
    QCOMPARE(rows()->index(0, 0).data().toString(), QString("d"));
    QSignalSpy chosen(page, &EvaluationPage::rowChosen);
    emit part<QTableView>("rowsView")->doubleClicked(rows()->index(0, 0));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].value<std::size_t>(), std::size_t{3});  // d is the table's fourth row

    // A tie in the training table, or a loaded model whose table is unknown: wrong, and said.
    undecidedBox()->setCurrentIndex(0);
    page->showTestSet("Model M applied to t", scored, std::nullopt, "", NumberFormat{});
    QVERIFY(figures().contains("The training table of this model is not known here"));
    QVERIFY(figures().contains("(undecided count as wrong)"));

    // In the real window: Apply, then a double-click on a row opens Why this score?.
    form->buildModel();
    waitForJobs();
    form->applyModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QVERIFY(
        figures().contains(QRegularExpression("\nModel: \\d+ positive and \\d+ negative "
                                              "patterns, \\d+ conditions in all$")));
    part<QCheckBox>("wrongOnlyBox")->setChecked(false);
    QCOMPARE(rows()->rowCount(), 16);
    emit part<QTableView>("rowsView")->doubleClicked(rows()->index(0, 0));
    waitForJobs();
    QTRY_VERIFY(part<ExplanationPanel>("explanationPanel")->isVisible());
  }

  // Build, Apply and Cross-validate each add a run to the history file in the data's folder,
  // which a new window shows; two runs selected are side by side.
  void runHistoryIsKeptInTheDataFolder() {
    form->buildModel();
    waitForJobs();
    form->applyModel();
    waitForJobs();
    part<QSpinBox>("foldsBox")->setValue(4);
    form->crossValidate();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QVERIFY(part<QChartView>("rocView")->chart()->title().startsWith("Cross-validation: ROC"));
    const RunHistory kept =
        readRunHistory(at(QString::fromStdString(kRunHistoryFile)).toStdString());
    QCOMPARE(kept.runs.size(), std::size_t{3});
    QCOMPARE(QString::fromStdString(kept.runs[0].kind), QString("build"));
    QCOMPARE(QString::fromStdString(kept.runs[1].kind), QString("apply"));
    QCOMPARE(QString::fromStdString(kept.runs[2].kind), QString("cross-validation"));
    QVERIFY(!std::isnan(kept.runs[1].accuracy));

    form->close();
    newWindow();
    auto* table = part<QTableWidget>("historyTable");
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 1)->text(), QString("cross-validation"));  // the newest on top
    table->selectionModel()->select(table->model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString comparison = part<RunHistoryView>("historyView")->comparisonText();
    QVERIFY2(comparison.contains(QRegularExpression("Run +apply +cross-validation")),
             qPrintable(comparison));

    // A history file that cannot be written: the run is shown, the status bar says why.
    QFile::remove(at(QString::fromStdString(kRunHistoryFile)));
    QDir(work->path()).mkdir(QString::fromStdString(kRunHistoryFile));  // a folder in its place
    form->buildModel();
    waitForJobs();
    QVERIFY(errors.isEmpty());
    QVERIFY2(statusBar()->currentMessage().contains("Cannot write the run history"),
             qPrintable(statusBar()->currentMessage()));
    QCOMPARE(table->rowCount(), 4);
  }

  void dataTabShowsTheTableAndItsAttributes() {
    auto* page = part<DataPage>("dataPage");
    tabs()->setCurrentWidget(page);
    waitForJobs();
    QCOMPARE(page->note(),
             QString("The table in the data box: 16 rows (8 of class 1, 8 of class 0), 6 "
                     "attributes."));
    QCOMPARE(part<QTableView>("dataGrid")->model()->rowCount(), 16);
    QCOMPARE(part<QTableView>("dataGrid")->model()->headerData(1, Qt::Horizontal).toString(),
             QString("Attr1"));
    auto* attributes = part<QTableWidget>("attributeTable");
    QCOMPARE(attributes->rowCount(), 6);
    QCOMPARE(attributes->item(0, 4)->text(), QString("0"));  // nothing missing
    QVERIFY(!part<QChartView>("histogramView")->chart()->series().isEmpty());

    // An edit is summarized again when the tab is next shown; a missing value is counted.
    tabs()->setCurrentWidget(forecastBox());
    dataBox()->setPlainText("Name,A,B,Class\nx,1,,1\ny,2,3,0\nz,3,4,0\n");
    tabs()->setCurrentWidget(page);
    waitForJobs();
    QVERIFY2(page->note().contains("3 rows (1 of class 1, 2 of class 0), 2 attributes"),
             qPrintable(page->note()));
    QCOMPARE(attributes->item(1, 4)->text(), QString("1"));
  }

  // Tuning ranges over the degrees, selections and cut points asked for, each set in its row,
  // and Use These Parameters puts the chosen set's choices beside the boxes.
  void tuningRangesOverDegreeSelectionAndCutPoints() {
    part<QSpinBox>("foldsBox")->setValue(3);
    for (const char* name : {"positiveHomogeneityList", "positivePrevalenceList",
                             "negativeHomogeneityList", "negativePrevalenceList"}) {
      part<QLineEdit>(name)->setText(name[0] == 'p' ? "0.6" : "0.4");
    }
    part<QLineEdit>("positivePrevalenceList")->setText("0.1");
    part<QLineEdit>("negativePrevalenceList")->setText("0.1");
    part<QLineEdit>("degreeList")->setText("1 x");
    form->tune();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Degrees: 'x' is not a degree"), qPrintable(errors[0]));
    QVERIFY(!form->jobRunning());
    part<QLineEdit>("degreeList")->setText("1; 2");
    part<QLineEdit>("selectionList")->setText("none cover:1");
    part<QCheckBox>("bothCutPointsBox")->setChecked(true);
    form->tune();
    waitForJobs();
    QCOMPARE(errors.size(), 1);
    auto* table = part<QTableWidget>("tuningTable");
    QCOMPARE(table->rowCount(), 2 * 2 * 2);
    QSet<QString> sets;
    for (int r = 0; r < table->rowCount(); ++r) {
      sets << table->item(r, 11)->text() + "/" + table->item(r, 12)->text() + "/" +
                  table->item(r, 13)->text();
    }
    QCOMPARE(sets.size(), 8);
    QVERIFY(sets.contains("2/class-aware/cover 1"));
    for (int r = 0; r < table->rowCount(); ++r) {
      if (table->item(r, 12)->text() != "class-aware" || table->item(r, 13)->text() != "cover 1")
        continue;
      table->selectRow(r);
      break;
    }
    part<QPushButton>("useButton")->click();
    QCOMPARE(selectionBox()->value(), 1);
    QCOMPARE(cutPointsBox()->currentText(), QString("class-aware"));
  }

  // A table of three classes is cross-validated and tuned with a model per class, as lad cv
  // judges it; the two-class charts stay empty.
  void severalClassesAreCrossValidatedAndTuned() {
    std::string table = "Name,A,B,Class\n";
    for (int r = 0; r < 30; ++r) {
      table += "r" + std::to_string(r) + "," + std::to_string(r % 10) + "," +
               std::to_string((r * 7) % 5) + "," +
               std::to_string(r % 10 < 3   ? 0
                              : r % 10 < 7 ? 1
                                           : 2) +
               "\n";
    }
    dataBox()->setPlainText(QString::fromStdString(table));
    degreeBox()->setValue(1);
    part<QSpinBox>("foldsBox")->setValue(3);
    form->crossValidate();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QVERIFY2(figures().contains("\n3 classes: per fold one model per class against the rest"),
             qPrintable(figures()));
    QVERIFY(figures().contains("\nConfusion matrix (rows: class, columns: forecast):"));
    QVERIFY(part<QChartView>("rocView")->chart()->series().isEmpty());
    QVERIFY(statusBar()->currentMessage().contains("3 folds cross-validated"));

    part<QLineEdit>("positiveHomogeneityList")->setText("0.9; 0.7");
    form->tune();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(part<QTableWidget>("tuningTable")->rowCount(), 2 * 2 * 3 * 2);
    QVERIFY2(statusBar()->currentMessage().contains("with 216 builds"),
             qPrintable(statusBar()->currentMessage()));
    QVERIFY(figures().contains("builds (a model per class); ranked by"));
  }

  // A run estimated at more than a minute asks first, with the estimate; No starts nothing.
  void longRunsAskFirst() {
    dataBox()->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    degreeBox()->setValue(3);
    yes = false;
    form->tune();
    waitForJobs();
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].startsWith("Tuning will take 360 builds, up to about "),
             qPrintable(questions[0]));
    QCOMPARE(statusBar()->currentMessage(), QString("Tuning not started."));
    QCOMPARE(part<QTableWidget>("tuningTable")->rowCount(), 0);

    // A cheap cross-validation asks nothing.
    degreeBox()->setValue(1);
    part<QSpinBox>("foldsBox")->setValue(3);
    form->crossValidate();
    waitForJobs();
    QCOMPARE(questions.size(), 1);
    QVERIFY(statusBar()->currentMessage().contains("3 folds cross-validated"));
  }
};

QTEST_MAIN(WindowChoicesTest)
#include "WindowChoicesTest.moc"
