// The large-file view as a reader uses it: a plain background, Find that marks its match or
// says it found nothing, and the keys that go to the ends of a line and of the file.
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "FileView.h"

class FileViewTest : public QObject {
  Q_OBJECT

  QTemporaryDir folder;
  QString path;

 private slots:
  void initTestCase() {
    QVERIFY(folder.isValid());
    path = folder.filePath("lines.PAT");
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (int i = 0; i < 1000; ++i) {
      out << "line " << i << (i == 10 ? std::string(2000, 'x') + "tail" : "") << "\r\n";
    }
  }

  void plainBackgroundAndMarkedMatch() {
    FileView view;
    QVERIFY(view.open(path));
    QCOMPARE(view.palette().color(QPalette::Base), QColor(Qt::white));
    view.resize(400, 300);
    view.QWidget::show();
    QVERIFY(view.find("line 500"));
    const QImage shown = view.viewport()->grab().toImage();
    // The match is painted in amber somewhere on screen.
    bool amber = false;
    for (int y = 0; y < shown.height() && !amber; ++y) {
      for (int x = 0; x < shown.width() && !amber; ++x) {
        amber = shown.pixelColor(x, y) == QColor(255, 190, 60);
      }
    }
    QVERIFY(amber);
    QCOMPARE(view.findMessage(), QString());
  }

  void saysWhenTextIsNotFound() {
    FileView view;
    QVERIFY(view.open(path));
    view.resize(400, 300);
    QVERIFY(!view.find("absent"));
    QCOMPARE(view.findMessage(), QString("\"absent\" is not in the file."));
    QVERIFY(view.find("line 7"));
    QCOMPARE(view.findMessage(), QString());
  }

  void keysGoToTheEndsOfLinesAndFile() {
    FileView view;
    QVERIFY(view.open(path));
    view.resize(400, 300);
    view.QWidget::show();
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.topLine(), view.verticalScrollBar()->maximum());
    QVERIFY(view.topLine() > 900);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view.topLine(), 0);
    QVERIFY(view.find("line 10"));
    QTest::keyClick(&view, Qt::Key_End);
    QVERIFY(view.horizontalScrollBar()->value() > 1900);  // the end of the long line shows
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.horizontalScrollBar()->value(), 0);
  }
};

QTEST_MAIN(FileViewTest)
#include "FileViewTest.moc"
