#include "RowsTable.h"

#include <QColor>

#include "QtText.h"

void RowsTableModel::setRows(std::vector<ScoredRow> rows, std::int32_t undecidedAs,
                             const NumberFormat& format) {
  beginResetModel();
  rows_ = std::move(rows);
  undecidedAs_ = undecidedAs;
  format_ = format;
  endResetModel();
}

void RowsTableModel::setUndecidedAs(std::int32_t undecidedAs) {
  beginResetModel();
  undecidedAs_ = undecidedAs;
  endResetModel();
}

bool RowsTableModel::isWrong(int row) const {
  return rowVerdict(rows_[static_cast<std::size_t>(row)], undecidedAs_) == RowVerdict::Wrong;
}

int RowsTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RowsTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant RowsTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const ScoredRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == kRowRole) return index.row();
  const std::int32_t forecast = forecastClass(row.score, undecidedAs_);
  const RowVerdict verdict = rowVerdict(row, undecidedAs_);
  if (role == Qt::DisplayRole || role == kSortRole) {
    switch (index.column()) {
      case Name:
        return fromUtf8(row.name);
      case Class:
        return fromUtf8(row.classField);
      case Forecast:
        if (forecast == kOtherClass) return QString("undecided");
        return QString::number(forecast) + (row.score == 0 ? " (rule)" : "");
      case Score:
        if (role == kSortRole) return row.score;
        return fromUtf8(numberText(row.score, format_));
      case Result:
        return verdict == RowVerdict::Right   ? QString("right")
               : verdict == RowVerdict::Wrong ? QString("wrong")
                                              : QString("not judged");
      default:
        return {};
    }
  }
  if (role == Qt::TextAlignmentRole && index.column() == Score) {
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role == Qt::ForegroundRole && index.column() == Result && verdict == RowVerdict::Wrong) {
    return QColor(180, 30, 30);
  }
  return {};
}

QVariant RowsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  static const char* const kCaptions[] = {"Name", "Class", "Forecast", "Score", "Result"};
  return section >= 0 && section < ColumnCount ? QString(kCaptions[section]) : QVariant();
}

void WrongOnlyFilter::setWrongOnly(bool wrongOnly) {
  wrongOnly_ = wrongOnly;
  invalidateRowsFilter();
}

bool WrongOnlyFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  if (!wrongOnly_) return true;
  return static_cast<const RowsTableModel*>(sourceModel())->isWrong(sourceRow);
}
