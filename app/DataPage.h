// The Data tab: the table in the data box as a grid, and per attribute its range, mean and
// missing values, with a histogram by class of the attribute selected, so that the data can be
// seen before anything is built.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <memory>

#include "TableSummary.h"

class QChartView;
class QLabel;
class QTableView;
class QTableWidget;

// The grid: the table's lines, cut into fields as they are shown.
class TableGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TableGridModel(QObject* parent) : QAbstractTableModel(parent) {}
  void setTable(std::shared_ptr<const TableLines> table);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::shared_ptr<const TableLines> table_;
};

class DataPage : public QWidget {
  Q_OBJECT

 public:
  DataPage(QWidget* parent, const NumberFormat& format);

  // The table and its summary, under a line that says which table it is.
  void showTable(std::shared_ptr<const TableLines> table, TableSummary summary,
                 const QString& description, const NumberFormat& format);
  // Says why there is nothing to show.
  void showNothing(const QString& why);
  // The line above the grid.
  QString note() const;

 private:
  void drawHistogram(int attribute);

  QLabel* noteLabel_;
  QTableView* gridView_;
  TableGridModel* gridModel_;
  QTableWidget* attributeTable_;
  QChartView* histogramView_;
  TableSummary summary_;
  NumberFormat format_;
};
