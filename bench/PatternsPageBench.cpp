// Figures of the window's Patterns tab on a large model: the work off the window's thread
// (reading the model and counting every pattern on the table) and the work on it (showing
// the patterns, sorting by each column, filtering, scrolling), which must stay short.
//
//   QT_QPA_PLATFORM=offscreen lad_patterns_page_bench NAME TABLE
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>

#include "ModelPatterns.h"
#include "PatternsPage.h"
#include "TextFile.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: lad_patterns_page_bench NAME TABLE\n");
    return 2;
  }
  QElapsedTimer clock;
  clock.start();
  const ModelPatterns patterns =
      modelPatterns(argv[1], readTextFile(argv[2]), NumberFormat{}, argv[2]);
  std::printf("off the window's thread: model read and %d patterns counted in %.2f s\n",
              patterns.table->size(), static_cast<double>(clock.elapsed()) / 1000);
  PatternsPage page(nullptr);
  // The page's parts, found by their names.
  auto* view = page.findChild<QTableView*>("patternView");
  auto* tableModel = page.findChild<PatternTableModel*>("patternModel");
  auto* classBox = page.findChild<QComboBox*>("classBox");
  page.resize(1200, 500);
  page.show();
  clock.restart();
  page.showPatterns(patterns.table, QString::fromStdString(patterns.note));
  QApplication::processEvents();
  std::printf("on the window's thread:\n  show: %lld ms\n", clock.elapsed());
  for (int column = 0; column < PatternTableModel::Count; ++column) {
    clock.restart();
    view->sortByColumn(column, Qt::DescendingOrder);
    QApplication::processEvents();
    std::printf("  sort by %s: %lld ms\n",
                tableModel->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                    .toString()
                    .toUtf8()
                    .constData(),
                clock.elapsed());
  }
  clock.restart();
  classBox->setCurrentIndex(2);
  QApplication::processEvents();
  std::printf("  filter to one class: %lld ms (%d rows)\n", clock.elapsed(),
              tableModel->rowCount());
  clock.restart();
  QScrollBar* bar = view->verticalScrollBar();
  for (int step = 0; step <= 100; ++step) {
    bar->setValue(bar->maximum() / 100 * step);
    QApplication::processEvents();
  }
  std::printf("  scroll through in 100 steps: %lld ms\n", clock.elapsed());
  return 0;
}
