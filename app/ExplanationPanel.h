// "Why this score?": the explanation of one Forecast line in a panel beside the window: the
// patterns for and against the observation, their shares of the score, and the near misses.
#pragma once

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

#include "PatternTable.h"

class ExplanationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ExplanationPanel(QWidget* parent);

  // The scores to explain: the model and table of the last Apply Model.
  void setSource(std::shared_ptr<const PatternTable> source) { source_ = std::move(source); }
  bool hasSource() const { return source_ != nullptr && source_->hasTable(); }
  // Shows and raises the panel with the explanation of the table's row.
  void explain(std::size_t row);

  // The whole explanation as text, as `lad explain` prints it.
  QString text() const { return text_; }

 private:
  // The score and how it is counted ("summaryLabel").
  QLabel* summaryLabel_;
  // Sections For, Against and Near misses ("sections"), one pattern per line; a long For or
  // Against section starts folded.
  QTreeWidget* sections_;
  std::shared_ptr<const PatternTable> source_;
  QString text_;
  bool placed_ = false;
};
