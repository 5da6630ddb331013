#include "RunHistoryView.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "QtText.h"

namespace {

const QStringList kCaptions{"Time",     "Run",      "Table",    "Model", "Parameters",
                            "Patterns", "Accuracy", "Balanced", "AUC",   "Seconds"};

QString patternsText(const RunRecord& run) {
  if (run.positivePatterns < 0) return "";
  const auto one = [](double v) {
    return std::abs(v - std::round(v)) < 1e-9 ? QString::number(std::llround(v))
                                              : QString::number(v, 'f', 1);
  };
  return one(run.positivePatterns) + " + " + one(run.negativePatterns);
}

}  // namespace

RunHistoryView::RunHistoryView(QWidget* parent, const NumberFormat& format)
    : QWidget(parent), format_(format) {
  sourceLabel_ = new QLabel(this);
  sourceLabel_->setObjectName("historySource");
  sourceLabel_->setWordWrap(true);
  table_ = new QTableWidget(this);
  table_->setObjectName("historyTable");
  table_->setColumnCount(static_cast<int>(kCaptions.size()));
  table_->setHorizontalHeaderLabels(kCaptions);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setToolTip("Select two runs (Ctrl+click) to see them side by side.");
  comparison_ = new QPlainTextEdit(this);
  comparison_->setObjectName("historyComparison");
  comparison_->setReadOnly(true);
  comparison_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSize(9);
  comparison_->setFont(fixed);
  comparison_->setPlainText("Select two runs to see them side by side.");
  table_->setMinimumHeight(30);
  comparison_->setMinimumHeight(30);
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->addWidget(table_);
  split->addWidget(comparison_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  split->setSizes({540, 460});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(sourceLabel_);
  layout->addWidget(split, 1);
  connect(table_, &QTableWidget::itemSelectionChanged, this, &RunHistoryView::compareSelected);
}

void RunHistoryView::showHistory(const RunHistory& history, const QString& source) {
  runs_ = history.runs;
  QString note = "Runs kept in " + source + ".";
  if (history.unreadLines > 0) {
    note += QString(" %1 line(s) of it are not runs of this workbench and are left out.")
                .arg(history.unreadLines);
  }
  sourceLabel_->setText(note);
  table_->clearContents();
  table_->setRowCount(static_cast<int>(runs_.size()));
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    showRun(static_cast<int>(runs_.size() - 1 - i), runs_[i]);
  }
  comparison_->setPlainText("Select two runs to see them side by side.");
}

void RunHistoryView::addRun(const RunRecord& run) {
  runs_.push_back(run);
  table_->insertRow(0);
  showRun(0, run);
}

QString RunHistoryView::comparisonText() const {
  return comparison_->toPlainText();
}

void RunHistoryView::showRun(int row, const RunRecord& run) {
  const auto figure = [&](double v) { return fromUtf8(metricText(v, format_)); };
  const QString cells[] = {
      fromUtf8(run.time),
      fromUtf8(run.kind),
      fromUtf8(run.table),
      fromUtf8(run.model),
      fromUtf8(run.parameters),
      patternsText(run),
      std::isnan(run.accuracy) ? QString() : figure(run.accuracy),
      std::isnan(run.balancedAccuracy) ? QString() : figure(run.balancedAccuracy),
      std::isnan(run.auc) ? QString() : figure(run.auc),
      QString::number(run.seconds, 'f', 1)};
  for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
    auto* item = new QTableWidgetItem(cells[c]);
    // The place of the run in runs_, counted from the newest at the top.
    item->setData(Qt::UserRole, static_cast<int>(runs_.size()) - 1 - row);
    table_->setItem(row, c, item);
  }
}

void RunHistoryView::compareSelected() {
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  if (rows.size() != 2) {
    comparison_->setPlainText(rows.size() < 2 ? "Select two runs to see them side by side."
                                              : "Select only two runs to see them side by side.");
    return;
  }
  // The older run on the left.
  const auto run = [&](int row) { return runs_[runs_.size() - 1 - static_cast<std::size_t>(row)]; };
  const auto lines = compareRuns(run(rows[1]), run(rows[0]), format_);
  int width = 0;
  int firstWidth = 0;
  for (const auto& line : lines) {
    width = std::max(width, static_cast<int>(fromUtf8(line[0]).size()));
    firstWidth = std::max(firstWidth, static_cast<int>(fromUtf8(line[1]).size()));
  }
  QStringList text;
  for (const auto& line : lines) {
    text << fromUtf8(line[0]).leftJustified(width + 2) +
                fromUtf8(line[1]).leftJustified(firstWidth + 3) + fromUtf8(line[2]);
  }
  comparison_->setPlainText(text.join('\n'));
}
