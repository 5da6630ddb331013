// The Evaluation tab's run history: every build, apply, cross-validation and tuning run kept in
// the data's folder, as a table; two runs selected are shown side by side.
#pragma once

#include <QWidget>
#include <vector>

#include "NumberText.h"
#include "RunHistory.h"

class QLabel;
class QPlainTextEdit;
class QTableWidget;

class RunHistoryView : public QWidget {
  Q_OBJECT

 public:
  RunHistoryView(QWidget* parent, const NumberFormat& format);

  // The runs of a history file, the newest at the top; `source` names the file.
  void showHistory(const RunHistory& history, const QString& source);
  // A run just made, put at the top.
  void addRun(const RunRecord& run);
  // What the comparison pane shows.
  QString comparisonText() const;

 private:
  void showRun(int row, const RunRecord& run);
  void compareSelected();

  NumberFormat format_;
  std::vector<RunRecord> runs_;  // oldest first
  QLabel* sourceLabel_;
  QTableWidget* table_;
  QPlainTextEdit* comparison_;
};
