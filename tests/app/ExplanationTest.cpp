// Why this score?: plain numbers, the near misses smallest change first and listed a page at a
// time, and Esc to close.
#include <QRegularExpression>
#include <QTreeWidget>

#include "ExplanationPanel.h"
#include "PlainNumber.h"
#include "WindowFixture.h"

class ExplanationTest : public WindowFixture {
  Q_OBJECT

  ExplanationPanel* panel() const { return part<ExplanationPanel>("explanationPanel"); }
  QTreeWidgetItem* nearMisses() const {
    auto* sections = part<QTreeWidget>("sections");
    return sections->topLevelItem(sections->topLevelItemCount() - 1);
  }
  // Explains the Forecast line as a user who moves to it with the keyboard.
  void explainLine(int line) {
    QTextCursor cursor = forecastBox()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, line - 1);
    forecastBox()->setTextCursor(cursor);
    QTest::keyClick(forecastBox(), Qt::Key_Down);
    QTRY_VERIFY(panel()->isVisible());
  }

  void buildAndApply() {
    // A finer grid and looser thresholds than at start: many patterns, many near misses.
    gridSizeBox()->setValue(10);
    negativeHomogeneityBox()->setText("0.5");
    form->buildModel();
    waitForJobs();
    form->applyModel();
    waitForJobs();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("|")));
  }

 private slots:
  void plainDecimals_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("tiny share") << 7.45897943107261E-7 << "0.000000745897943107261";
    QTest::newRow("score") << 0.470777010600019 << "0.470777010600019";
    QTest::newRow("negative") << -0.003486104 << "-0.003486104";
    QTest::newRow("whole") << 1234.0 << "1234";
    QTest::newRow("large") << 1e20 << "100000000000000000000";
    QTest::newRow("zero") << 0.0 << "0";
  }
  void plainDecimals() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(plainDecimal(value, NumberFormat{"."}), text);
    QCOMPARE(plainDecimal(value, NumberFormat{","}), QString(text).replace('.', ','));
  }

  void nearMissesSmallestChangeFirstAPageAtATime() {
    buildAndApply();
    explainLine(5);
    const QString text = panel()->text();
    QVERIFY2(text.startsWith("Obs6 (line 7, class 1): score 0.216666666666667"), qPrintable(text));
    QVERIFY(!text.contains(QRegularExpression("\\d[eE][-+]?\\d")));
    QTreeWidgetItem* misses = nearMisses();
    QVERIFY2(misses->text(0).startsWith("Near misses: 43 patterns"), qPrintable(misses->text(0)));
    // The first page, then a line that lists more.
    const int page = ExplanationPanel::kNearMissesShown;
    QCOMPARE(misses->childCount(), page + 1);
    QCOMPARE(misses->child(page)->text(0), QString("Show more (25 of 43 listed)"));
    // The changes asked for grow down the list: each is measured against its attribute's
    // spread, and the spreads of this table's attributes differ by less than a tenth.
    const QRegularExpression amount("(it lies on it)|raise it by ([0-9.]+)|by more than ([0-9.]+)");
    double last = 0;
    for (int i = 0; i < page; ++i) {
      const QRegularExpressionMatch m = amount.match(misses->child(i)->text(0));
      QVERIFY2(m.hasMatch(), qPrintable(misses->child(i)->text(0)));
      const double change =
          m.captured(1).isEmpty() ? (m.captured(2) + m.captured(3)).toDouble() : 0;
      QVERIFY2(change >= 0.9 * last, qPrintable(misses->child(i)->text(0)));
      last = change;
    }
    QVERIFY(misses->child(0)->text(0).contains("(it lies on it)"));
    // Show more lists the rest.
    part<QTreeWidget>("sections")->itemClicked(misses->child(page), 0);
    misses = nearMisses();
    QCOMPARE(misses->childCount(), 43);
    QVERIFY(!misses->child(42)->text(0).startsWith("Show more"));
  }

  void escapeCloses() {
    buildAndApply();
    explainLine(2);
    QTest::keyClick(part<QTreeWidget>("sections"), Qt::Key_Escape);
    QVERIFY(!panel()->isVisible());
  }
};

QTEST_MAIN(ExplanationTest)
#include "ExplanationTest.moc"
