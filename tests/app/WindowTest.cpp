// Drives the real window on the offscreen platform; dialogs and the error box are replaced.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>
#include <deque>
#include <fstream>

#include "FileView.h"
#include "GeneratedTable.h"
#include "LadError.h"
#include "NumberText.h"
#include "SampleTable.h"
#include "TForm2.h"

namespace {

std::string readFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const QString& path, const std::string& content) {
  std::ofstream(path.toStdString(), std::ios::binary) << content;
}

QString plain(const std::string& fileText) {
  QString text = QString::fromUtf8(fileText.data(), static_cast<qsizetype>(fileText.size()));
  text.replace("\r\n", "\n");
  return text;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> work;  // a fresh folder per test
  QString startDir;
  std::unique_ptr<TForm2> form;
  std::deque<std::optional<QString>> answers;  // what the replaced dialog returns next
  std::vector<FileDialogRequest> requests;
  QStringList errors;

  QString at(const QString& name) const { return QDir(work->path()).filePath(name); }

 private slots:
  void initTestCase() { startDir = QDir::currentPath(); }
  void cleanupTestCase() { QDir::setCurrent(startDir); }

  void init() {
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    QDir::setCurrent(work->path());
    form = std::make_unique<TForm2>();
    answers.clear();
    requests.clear();
    errors.clear();
    form->chooseFile = [this](const FileDialogRequest& request) {
      requests.push_back(request);
      auto answer = answers.front();
      answers.pop_front();
      return answer;
    };
    form->showError = [this](const QString& message) { errors << message; };
  }
  void cleanup() {
    form.reset();
    QDir::setCurrent(startDir);
    work.reset();
  }

  void startState() {
    QCOMPARE(form->windowTitle(), QString("Rule-Based Inductive Learning"));
    // The window of 1017 x 565 and its status bar below.
    QCOMPARE(form->size(), QSize(1017, 565 + form->StatusBar1->sizeHint().height()));
    QCOMPARE(form->StatusBar1->currentMessage(), QString());
    QCOMPARE(form->Edit5->text(), QString("LAD"));
    QCOMPARE(form->SpinEdit1->value(), 8);
    QCOMPARE(form->SpinEdit2->value(), 2);
    QCOMPARE(form->SpinEdit3->value(), 2);
    QCOMPARE(form->SpinEdit4->value(), 2);
    QCOMPARE(form->Edit1->text(), QString("0.6"));
    QCOMPARE(form->Edit4->text(), QString("0.1"));
    QCOMPARE(form->PageControl1->currentWidget(), form->RichEdit6);
    const QStringList captions{"Model",       "Pattern Space", "Pattern Description",
                               "Discretized", "Forecast",      "Evaluation",
                               "Patterns"};
    QCOMPARE(form->PageControl1->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
      QCOMPARE(form->PageControl1->tabText(i), captions[i]);
    }
    for (auto* box :
         {form->RichEdit2, form->RichEdit3, form->RichEdit4, form->RichEdit5, form->RichEdit6}) {
      QVERIFY(box->toPlainText().isEmpty());
      // A monospace face large enough that ">=" never reads as ">-".
      QVERIFY(QFontInfo(box->font()).fixedPitch());
      QCOMPARE(box->font().pointSize(), 10);
    }
    QCOMPARE(form->RichEdit1->toPlainText().toStdString(), sampleTable());
    QCOMPARE(form->Button2->text(), QString("Build Model"));
    QCOMPARE(form->Button2->geometry(), QRect(688, 39, 75, 25));
    QCOMPARE(form->SpinEdit3->minimum(), INT_MIN);
  }

  void buildThenApply() {
    form->RichEdit6->setPlainText("old forecast");
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(form->SpinEdit3->value(), 113);
    QCOMPARE(form->SpinEdit4->value(), 91);
    QCOMPARE(form->RichEdit2->toPlainText(), plain(readFile(at("LAD.MOD"))));
    QCOMPARE(form->RichEdit3->toPlainText(), plain(readFile(at("LAD.PAT"))));
    QCOMPARE(form->RichEdit4->toPlainText(), plain(readFile(at("LAD.DES"))));
    QCOMPARE(form->RichEdit5->toPlainText(), plain(readFile(at("LAD.GRD"))));
    QCOMPARE(form->RichEdit2->document()->blockCount(), 212);  // 211 lines and the final break
    QCOMPARE(form->RichEdit6->toPlainText(), QString("old forecast"));
    QCOMPARE(form->PageControl1->currentWidget(), form->RichEdit6);

    form->SpinEdit3->setValue(0);
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(form->SpinEdit3->value(), 113);
    const QStringList lines = form->RichEdit6->toPlainText().split('\n');
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QString("Obs1,1,0.649324127200233"));
    QCOMPARE(lines[15], QString("Obs16,0,0.00875230963726542"));
  }

  void evaluationAfterApply() {
    QVERIFY(form->Evaluation->FiguresText->toPlainText().startsWith("Apply a model"));
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    const QString figures = form->Evaluation->FiguresText->toPlainText();
    QVERIFY2(figures.contains("Accuracy: 0.6875 (undecided count as wrong)"), qPrintable(figures));
    QVERIFY(figures.contains("AUC: 1.0000"));
    // The ROC curve (16 distinct scores and the origin) beside the chance line, and the
    // distribution of both classes.
    const QList<QAbstractSeries*> roc = form->Evaluation->RocView->chart()->series();
    QCOMPARE(roc.size(), 2);
    QCOMPARE(static_cast<QLineSeries*>(roc[0])->count(), 17);
    QCOMPARE(form->Evaluation->DistributionView->chart()->series().size(), 2);
    QVERIFY(form->Evaluation->RocView->chart()->title().endsWith("AUC 1.0000"));
    // The Forecast text is the scores alone, as before.
    QCOMPARE(form->RichEdit6->toPlainText().split('\n')[0], QString("Obs1,1,0.649324127200233"));

    // Another table in the data box: the figures say they are of the earlier one.
    writeFile(at("other.csv"), "Name,A,Class\nx,1,1\n");
    answers.push_back(at("other.csv"));
    form->Button1Click();
    QVERIFY(form->Evaluation->FiguresText->toPlainText().startsWith(
        "Open Data has put other.csv in the data box: the figures below are of the table before "
        "it.\n\nModel LAD applied"));
  }

  void modelKeptByItsFullPathWhenTheFolderChanges() {
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    // Open Data of a test table in another folder makes that folder current.
    QDir(work->path()).mkdir("tests");
    writeFile(at("tests/test.csv"), sampleTable());
    answers.push_back(at("tests/test.csv"));
    form->Button1Click();
    QCOMPARE(QDir::currentPath(), at("tests"));
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(form->RichEdit6->toPlainText().split('\n').size(), 16);
    // A name typed anew is taken in the current folder.
    form->Edit5->setText("LAD2");
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(at("tests/LAD2.MOD")), qPrintable(errors[0]));
  }

  void crossValidateAndTune() {
    EvaluationPage* page = form->Evaluation;
    page->FoldsBox->setValue(4);
    page->CrossValidateButton->click();
    QVERIFY(form->jobRunning());
    QVERIFY(!page->TuneButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QVERIFY(page->FiguresText->toPlainText().contains("\n Mean "));
    QCOMPARE(form->PageControl1->currentWidget(), page);
    QVERIFY(!QFile::exists(at("LAD.MOD")));  // nothing written

    form->Edit1->setText("abc");  // the lists stand in for the threshold boxes
    page->PositiveHomogeneityList->setText("0.9; 0.7");
    page->PositivePrevalenceList->setText("0.1");
    page->NegativeHomogeneityList->setText("0.1 0.3");
    page->NegativePrevalenceList->setText("0.1");
    page->TuneButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
    QCOMPARE(page->TuningTable->rowCount(), 4);
    QVERIFY(page->TuningTable->isVisible() || !form->isVisible());
    // Sorted by a column, the chosen row still gives its own parameters.
    page->TuningTable->sortByColumn(3, Qt::DescendingOrder);
    page->TuningTable->selectRow(0);
    QVERIFY(page->UseButton->isEnabled());
    const QString negativeHomogeneity = page->TuningTable->item(0, 3)->text();
    QCOMPARE(negativeHomogeneity, QString("0.3"));
    page->UseButton->click();
    QCOMPARE(form->Edit3->text(), negativeHomogeneity);
    QCOMPARE(form->Edit1->text(), page->TuningTable->item(0, 1)->text());
    QCOMPARE(form->Edit2->text(), QString("0.1"));

    page->NegativePrevalenceList->setText("0.1; 7");
    page->TuneButton->click();
    QVERIFY(!form->jobRunning());
    QCOMPARE(errors, QStringList{"Negative Prevalence: every value must lie between 0 and 1 (one "
                                 "is '7')"});
    QCOMPARE(form->focusWidget(), page->NegativePrevalenceList);
  }

  void patternsTabFillsSortsAndFilters() {
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    PatternsPage* page = form->PatternsTab;
    PatternTableModel* model = page->Patterns;
    // The patterns are read when the tab is first shown.
    QCOMPARE(model->rowCount(), 0);
    form->PageControl1->setCurrentWidget(page);
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(model->rowCount(), 113 + 91);
    QVERIFY(form->StatusBar1->currentMessage().startsWith("Model written to "));  // kept
    QVERIFY2(page->NoteLabel->text().contains("counted on the 16 observations"),
             qPrintable(page->NoteLabel->text()));
    const auto cell = [&](int row, int column) {
      return model->data(model->index(row, column), Qt::DisplayRole).toString();
    };
    QCOMPARE(cell(0, PatternTableModel::Name), QString("P1"));
    QCOMPARE(cell(0, PatternTableModel::Rule), QString("-0.294350809 <= Attr6 < 0.334246251"));
    QCOMPARE(cell(0, PatternTableModel::Positive), QString("8"));
    QCOMPARE(cell(0, PatternTableModel::Homogeneity), QString("0.6667"));

    page->PatternView->sortByColumn(PatternTableModel::Homogeneity, Qt::DescendingOrder);
    for (int r = 1; r < model->rowCount(); ++r) {
      QVERIFY(cell(r - 1, PatternTableModel::Homogeneity).toDouble() >=
              cell(r, PatternTableModel::Homogeneity).toDouble());
    }
    page->ClassBox->setCurrentIndex(2);  // negative patterns only
    QCOMPARE(model->rowCount(), 91);
    page->FilterBox->setText("attr1");
    QTRY_VERIFY(model->rowCount() < 91);
    QVERIFY(model->rowCount() > 0);
    for (int r = 0; r < model->rowCount(); ++r) {
      QVERIFY(cell(r, PatternTableModel::Name).startsWith("N"));
      QVERIFY(cell(r, PatternTableModel::Rule).contains("Attr1"));
    }
    // Selecting a pattern lists the observations it covers.
    page->PatternView->selectRow(0);
    const int covered =
        cell(0, PatternTableModel::Positive).toInt() + cell(0, PatternTableModel::Negative).toInt();
    const QStringList lines = page->CoveredText->toPlainText().split('\n');
    QCOMPARE(lines.size(), covered + 1);
    QVERIFY(lines[0].startsWith(cell(0, PatternTableModel::Name) + " covers "));
  }

  void whyThisScore() {
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(!form->WhyPanel->isVisible());
    // The cursor on Obs2's line, then one line down with the keyboard: Obs3.
    QTextCursor cursor = form->RichEdit6->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    form->RichEdit6->setTextCursor(cursor);
    QVERIFY(!form->WhyPanel->isVisible());  // a cursor moved by the program explains nothing
    QTest::keyClick(form->RichEdit6, Qt::Key_Down);
    QTRY_VERIFY(form->WhyPanel->isVisible());
    const QString text = form->WhyPanel->text();
    QVERIFY2(text.startsWith("Obs3 (line 4, class 1): score 0.470777010600019"), qPrintable(text));
    QVERIFY(form->WhyPanel->SummaryLabel->text().contains(
        "= 83/113 positive patterns - 24/91 negative patterns"));
    // For, Against and the near misses, each with its patterns; the long ones folded.
    QTreeWidget* sections = form->WhyPanel->Sections;
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
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(!form->WhyPanel->isVisible());
  }

  void adviceOnAUselessModel() {
    form->RichEdit1->setPlainText(
        "Name,A,B,Class\nx,1,5,1\ny,2,4,0\nz,3,3,0\nw,4,2,0\nv,5,1,1\nu,6,0,0");
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QVERIFY2(form->StatusBar1->currentMessage().startsWith(
                 "Negative Homogeneity 0.4 lets one box cover all 6 observations; try 0.3. Model "
                 "written to "),
             qPrintable(form->StatusBar1->currentMessage()));
  }

  void badParameterChangesNothing() {
    form->Edit1->setText("abc");
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors,
             QStringList{"Positive Homogeneity: 'abc' is not a valid floating point value."});
    QCOMPARE(form->focusWidget(), form->Edit1);  // the box to put right
    QCOMPARE(form->SpinEdit3->value(), 2);
    QVERIFY(form->RichEdit2->toPlainText().isEmpty());
    QVERIFY(!QFile::exists(at("LAD.MOD")));

    form->Edit1->setText("0.6");
    form->RichEdit1->setPlainText("Name only");
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.last(), QString("Range check error."));
  }

  void applyWithoutModel() {
    form->Edit5->setText("absent");
    form->RichEdit6->setPlainText("kept");
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot open file \"" + at("absent.MOD") + "\". "),
             qPrintable(errors[0]));
    QVERIFY(errors[0].endsWith("."));
    QCOMPARE(form->RichEdit6->toPlainText(), QString("kept"));
    QCOMPARE(form->SpinEdit3->value(), 2);
  }

  void loadModel() {
    // A stored model in another folder: choosing it makes that folder current.
    QDir(work->path()).mkdir("store");
    QDir::setCurrent(at("store"));
    form->Edit5->setText("A.MODEL");
    form->Button2Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(QFile::exists(at("store/A.MODEL.MOD")));
    QDir::setCurrent(work->path());
    form->Edit5->setText("LAD");
    for (auto* box : {form->RichEdit2, form->RichEdit3, form->RichEdit4, form->RichEdit5}) {
      box->setPlainText("old");
    }

    answers.push_back(std::nullopt);  // cancel
    form->Button4Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(form->Edit5->text(), QString("LAD"));
    QCOMPARE(form->RichEdit2->toPlainText(), QString("old"));
    QCOMPARE(requests.back().initialFileName, QString("*.MOD"));
    QCOMPARE(requests.back().filter, QString("Model Files (*.MOD)"));

    answers.push_back(at("store/A.MODEL.MOD"));
    form->Button4Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(form->Edit5->text(), QString("A.MODEL"));
    QCOMPARE(QDir::currentPath(), QDir(at("store")).canonicalPath());
    QCOMPARE(form->RichEdit4->toPlainText(), plain(readFile(at("store/A.MODEL.DES"))));

    // A file missing half-way: the tabs before it show the new model, the rest keep theirs.
    QFile::remove(at("store/A.MODEL.DES"));
    QFile::copy(at("store/A.MODEL.MOD"), at("store/B.MOD"));
    QFile::copy(at("store/A.MODEL.PAT"), at("store/B.PAT"));
    for (auto* box : {form->RichEdit2, form->RichEdit3, form->RichEdit4, form->RichEdit5}) {
      box->setPlainText("old");
    }
    answers.push_back(at("store/B.MOD"));
    form->Button4Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(form->Edit5->text(), QString("B"));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot open file \"" + at("store/B.DES") + "\". "),
             qPrintable(errors[0]));
    QVERIFY(form->RichEdit2->toPlainText().startsWith("Attributes="));
    QVERIFY(form->RichEdit3->toPlainText().startsWith("Pattern,P1"));
    QCOMPARE(form->RichEdit4->toPlainText(), QString("old"));
    QCOMPARE(form->RichEdit5->toPlainText(), QString("old"));

    // Apply Model scores with the model Load Model showed.
    form->Button5Click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 60000);
    QCOMPARE(form->SpinEdit3->value(), 113);
    QCOMPARE(form->RichEdit6->toPlainText().split('\n').size(), 16);
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
    form->Button1Click();
    QCOMPARE(form->RichEdit1->toPlainText(), QString::fromUtf8(table.c_str()));
    form->RichEdit1->clear();
    answers.push_back(at("utf16.txt"));
    form->Button1Click();
    QCOMPARE(form->RichEdit1->toPlainText(), QString::fromUtf8(table.c_str()));
    QCOMPARE(requests.back().initialFileName, QString("*.txt"));

    answers.push_back(std::nullopt);
    form->Button1Click();
    answers.push_back(at("missing.txt"));
    form->Button1Click();
    QCOMPARE(form->RichEdit1->toPlainText(), QString::fromUtf8(table.c_str()));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].startsWith("Cannot open file \"" + at("missing.txt") + "\". "));
  }

  // A long build runs off the window's thread: the window keeps handling events, progress
  // reaches the bar, and Cancel stops it with the earlier files as they were.
  void longBuildShowsProgressAndCancels() {
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"})
      writeFile(at(QString("LAD") + ext), "earlier");
    form->RichEdit1->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    form->SpinEdit2->setValue(3);
    bool timerFired = false;
    QTimer::singleShot(20, [&] { timerFired = true; });
    form->Button2Click();
    QVERIFY(form->jobRunning());
    QVERIFY(!form->Button5->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(form->ProgressBar1->value() > 0, 20000);
    QVERIFY(timerFired);
    QVERIFY(form->jobRunning());
    form->cancelJob();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 20000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(form->StatusBar1->currentMessage(), QString("Build cancelled"));
    QVERIFY(form->Button5->isEnabled());
    for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) {
      QCOMPARE(readFile(at(QString("LAD") + ext)), std::string("earlier"));
    }
    QCOMPARE(QDir(work->path()).entryList(QDir::Files).size(), 4);
  }

  void tuningShowsModelsDoneAndCancels() {
    form->RichEdit1->setPlainText(QString::fromStdString(generatedTable(150, 30, 5)));
    form->Evaluation->TuneButton->click();
    QVERIFY(form->jobRunning());
    QTRY_VERIFY_WITH_TIMEOUT(form->ProgressBar1->value() > 0, 20000);
    QCOMPARE(form->ProgressBar1->format(), QString("%v of %m models"));
    QCOMPARE(form->ProgressBar1->maximum(), 36 * 10);
    form->cancelJob();
    QTRY_VERIFY_WITH_TIMEOUT(!form->jobRunning(), 20000);
    QVERIFY(errors.isEmpty());
    QCOMPARE(form->StatusBar1->currentMessage(), QString("Tuning cancelled"));
    QVERIFY(form->Evaluation->TuneButton->isEnabled());
  }

  // Closing during a command asks first; keeping the command keeps the window.
  void closeDuringAJobAsks() {
    form->RichEdit1->setPlainText(QString::fromStdString(generatedTable(200, 60, 4)));
    form->SpinEdit2->setValue(3);
    form->show();
    int asked = 0;
    bool answer = false;
    form->askToCancel = [&] {
      ++asked;
      return answer;
    };
    form->Button2Click();
    QVERIFY(!form->close());
    QCOMPARE(asked, 1);
    QVERIFY(form->jobRunning());
    answer = true;
    QVERIFY(form->close());
    QCOMPARE(asked, 2);
    QVERIFY(!QFile::exists(at("LAD.MOD")));
  }

  // A 300 MB file opens at once in the file view, exact at its start, middle and end, and
  // text is found and copied.
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
    QElapsedTimer clock;
    clock.start();
    QVERIFY(view.open(big));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
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
    // A notice that the regional settings changed makes the window read them again.
    setDecimalSeparator("#");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &change);
    QCOMPARE(QString::fromStdString(decimalSeparator()), QLocale::system().decimalPoint());
    setDecimalSeparator(".");
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
