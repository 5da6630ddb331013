// The window at its start size, which fits a 1024 x 768 screen: no caption, criterion or button
// is cut, and the Patterns table shows all its columns.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

#include "PatternsPage.h"
#include "WindowFixture.h"

class WindowLayoutTest : public WindowFixture {
  Q_OBJECT

  // Every caption of the part shows its whole text: labels, buttons and the current choice of
  // each combo box (whose arrow takes some 20 pixels).
  static void nothingCut(QWidget* partShown) {
    const auto fits = [](QWidget* w, const QString& text, int frame) {
      QVERIFY2(w->width() >= w->fontMetrics().horizontalAdvance(text) + frame,
               qPrintable(QString("%1 in %2 pixels").arg(text).arg(w->width())));
    };
    for (auto* label : partShown->findChildren<QLabel*>()) {
      if (label->isVisible() && !label->wordWrap()) fits(label, label->text(), 0);
    }
    for (auto* button : partShown->findChildren<QPushButton*>()) {
      if (button->isVisible()) fits(button, button->text(), 6);
    }
    for (auto* box : partShown->findChildren<QComboBox*>()) {
      if (box->isVisible()) fits(box, box->currentText(), 20);
    }
  }

 private slots:
  void everyTabFitsAtTheStartSize() {
    QVERIFY(form->width() <= 1024 && form->height() <= 768 - 40);  // room for a task bar
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    nothingCut(part<QWidget>("parameterPanel"));
    // No tab's minimum squeezes the panel: its lowest row, the counters and choices, shows
    // whole.
    for (const char* lowest : {"positivePatternsBox", "selectionBox", "cutPointsBox"}) {
      QVERIFY2(
          part<QWidget>(lowest)->geometry().bottom() < part<QWidget>("parameterPanel")->height(),
          lowest);
    }
    tabs()->setCurrentWidget(part<QWidget>("evaluationPage"));
    QTest::qWait(50);
    nothingCut(part<QWidget>("evaluationPage"));
    if (QTest::currentTestFailed()) return;

    form->buildModel();
    waitForJobs();
    tabs()->setCurrentWidget(part<QWidget>("patternsPage"));
    waitForJobs();
    QTest::qWait(50);
    nothingCut(part<QWidget>("patternsPage"));
    auto* view = part<QTableView>("patternView");
    QCOMPARE(view->horizontalScrollBar()->value(), 0);
    for (int column : {PatternTableModel::Negative, PatternTableModel::Prevalence,
                       PatternTableModel::Homogeneity}) {
      const int right = view->columnViewportPosition(column) + view->columnWidth(column);
      QVERIFY2(right <= view->viewport()->width(), qPrintable(QString::number(column)));
    }
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
