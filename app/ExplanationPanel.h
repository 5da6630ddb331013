// "Why this score?": the explanation of one Forecast line in a panel beside the window: the
// patterns for and against the observation, their shares of the score, and the near misses,
// the smallest change first. Numbers are plain decimals; long sections show their first lines
// and more on request, so that the panel opens at once on a model of millions of patterns.
// Esc closes it.
#pragma once

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <memory>
#include <optional>

#include "Explanation.h"
#include "PatternTable.h"

class ExplanationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ExplanationPanel(QWidget* parent);

  // The near misses shown at first, and how many more each "Show more" adds.
  static constexpr int kNearMissesShown = 25;
  // The most patterns a For or Against section lists.
  static constexpr int kPatternsShown = 2000;

  // The scores to explain: the model and table of the last Apply Model.
  void setSource(std::shared_ptr<const PatternTable> source) { source_ = std::move(source); }
  bool hasSource() const { return source_ != nullptr && source_->hasTable(); }
  // Shows and raises the panel with the explanation of the table's row.
  void explain(std::size_t row);
  // Lists more near misses of the explanation shown.
  void showMoreNearMisses();

  // What the panel shows, as text.
  QString text() const { return text_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void showExplanation();
  // A number as a plain decimal of up to 15 significant digits, never with an exponent.
  QString plain(double value) const;

  std::shared_ptr<const PatternTable> source_;
  std::optional<Explanation> shown_;
  QString title_;
  std::vector<std::size_t> nearMissOrder_;
  int nearMissesShown_ = kNearMissesShown;
  QString text_;
  bool placed_ = false;
  // The score and how it is counted ("summaryLabel").
  QLabel* summaryLabel_;
  // Sections For, Against and Near misses ("sections"), one pattern per line; a long For or
  // Against section starts folded.
  QTreeWidget* sections_;
};
