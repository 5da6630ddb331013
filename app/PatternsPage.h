// The Patterns tab: every pattern of the model as a row (name, class, degree, rule, rows
// covered, prevalence, homogeneity), sortable and filterable, and the observations that the
// selected pattern covers. The table is a model over the patterns: rows are made only for what
// is on screen, so a model of millions of patterns opens, sorts and scrolls at once.
#pragma once

#include <QAbstractTableModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "PatternTable.h"

class PatternTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Name, Class, Degree, Rule, Positive, Negative, Prevalence, Homogeneity, Count };

  explicit PatternTableModel(QObject* parent) : QAbstractTableModel(parent) {}

  // Shows the table's patterns, all of them, in the model's order.
  void setTable(std::shared_ptr<const PatternTable> table);
  const PatternTable* table() const { return table_.get(); }
  // Keeps the patterns of a class (1, 0, or -1 for both) whose name is `text` or that have a
  // condition on an attribute whose name contains it (letter case aside); the sort stays.
  void setFilter(int cls, const QString& text);
  // The pattern shown in a row.
  std::int32_t pattern(int row) const { return shown_[static_cast<std::size_t>(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  void refill();

  std::shared_ptr<const PatternTable> table_;
  std::vector<std::int32_t> order_;  // every pattern, in the sort order
  std::vector<std::int32_t> shown_;  // those the filter keeps, in that order
  int filterClass_ = -1;
  QString filterText_;
};

class PatternsPage : public QWidget {
  Q_OBJECT

 public:
  explicit PatternsPage(QWidget* parent);

  // The patterns of a model, with or without statistics; `note` says on which table they were
  // counted, or why not.
  void showPatterns(std::shared_ptr<const PatternTable> table, const QString& note);
  // Empties the filter and shows both classes again: what was typed for one model means
  // nothing for the next.
  void clearFilters();

 private:
  void showCovered();

  QLineEdit* filterBox_;
  QComboBox* classBox_;
  QLabel* noteLabel_;
  QTableView* patternView_;
  PatternTableModel* patterns_;
  QPlainTextEdit* coveredText_;  // the observations of the selected pattern
  QTimer* filterTimer_;
};
