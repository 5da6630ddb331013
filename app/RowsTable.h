// The Evaluation tab's rows table: each row an applied model scored, with its forecast class
// and whether it is right, sortable by every column and filtered to the wrong ones on request.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

#include "NumberText.h"
#include "ScoredRows.h"

class RowsTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Name, Class, Forecast, Score, Result, ColumnCount };
  // The role by which a column sorts: the score as a number, the rest as text.
  static constexpr int kSortRole = Qt::UserRole;
  // The role that gives a row's place in the table Apply Model scored.
  static constexpr int kRowRole = Qt::UserRole + 1;

  explicit RowsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

  void setRows(std::vector<ScoredRow> rows, std::int32_t undecidedAs, const NumberFormat& format);
  // The undecided rule changed: the forecasts of score 0 change with it.
  void setUndecidedAs(std::int32_t undecidedAs);
  void clear() { setRows({}, kOtherClass, format_); }
  bool isWrong(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ScoredRow> rows_;
  std::int32_t undecidedAs_ = kOtherClass;
  NumberFormat format_;
};

// Passes every row, or with wrongOnly the wrong ones alone.
class WrongOnlyFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit WrongOnlyFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(RowsTableModel::kSortRole);
  }
  void setWrongOnly(bool wrongOnly);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  bool wrongOnly_ = false;
};
