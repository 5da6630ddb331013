#include "DataPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

#include "Evaluation.h"
#include "QtText.h"

void TableGridModel::setTable(std::shared_ptr<const TableLines> table) {
  beginResetModel();
  table_ = std::move(table);
  endResetModel();
}

int TableGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->rows());
}

int TableGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->header().size());
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const std::vector<std::string_view> fields =
      table_->fields(static_cast<std::size_t>(index.row()));
  const auto column = static_cast<std::size_t>(index.column());
  if (column >= fields.size()) return {};
  return QString::fromUtf8(fields[column].data(), static_cast<qsizetype>(fields[column].size()));
}

QVariant TableGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || !table_) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const auto column = static_cast<std::size_t>(section);
  return column < table_->header().size() ? fromUtf8(table_->header()[column]) : QVariant();
}

namespace {

// A cell that sorts by its number.
class NumberCell : public QTableWidgetItem {
 public:
  NumberCell(double value, const QString& text) : QTableWidgetItem(text), value_(value) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* number = dynamic_cast<const NumberCell*>(&other);
    if (number == nullptr) return QTableWidgetItem::operator<(other);
    if (std::isnan(value_) || std::isnan(number->value_)) {
      return std::isnan(value_) && !std::isnan(number->value_);
    }
    return value_ < number->value_;
  }

 private:
  double value_;
};

}  // namespace

DataPage::DataPage(QWidget* parent, const NumberFormat& format) : QWidget(parent), format_(format) {
  noteLabel_ = new QLabel(this);
  noteLabel_->setObjectName("dataNote");
  noteLabel_->setWordWrap(true);
  gridModel_ = new TableGridModel(this);
  gridView_ = new QTableView(this);
  gridView_->setObjectName("dataGrid");
  gridView_->setModel(gridModel_);
  gridView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridView_->verticalHeader()->setDefaultSectionSize(20);
  gridView_->horizontalHeader()->setDefaultSectionSize(80);
  attributeTable_ = new QTableWidget(this);
  attributeTable_->setObjectName("attributeTable");
  attributeTable_->setColumnCount(6);
  attributeTable_->setHorizontalHeaderLabels(
      {"Attribute", "Minimum", "Maximum", "Mean", "Missing", "Not numbers"});
  attributeTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  attributeTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  attributeTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  attributeTable_->setSortingEnabled(true);
  attributeTable_->verticalHeader()->hide();
  attributeTable_->verticalHeader()->setDefaultSectionSize(20);
  attributeTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  attributeTable_->setToolTip("Select an attribute to see its values by class.");
  connect(attributeTable_, &QTableWidget::itemSelectionChanged, this, [this] {
    const QList<QTableWidgetItem*> items = attributeTable_->selectedItems();
    if (items.isEmpty()) return;
    drawHistogram(attributeTable_->item(items.front()->row(), 0)->data(Qt::UserRole).toInt());
  });
  auto* chart = new QChart();
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(2, 2, 2, 2));
  histogramView_ = new QChartView(chart, this);
  histogramView_->setObjectName("histogramView");
  histogramView_->setRenderHint(QPainter::Antialiasing);
  // Small minimums, so that the tab never squeezes the parameter panel above it.
  histogramView_->setMinimumHeight(60);
  attributeTable_->setMinimumHeight(40);
  gridView_->setMinimumHeight(40);

  auto* right = new QSplitter(Qt::Vertical, this);
  right->addWidget(attributeTable_);
  right->addWidget(histogramView_);
  right->setStretchFactor(0, 1);
  right->setStretchFactor(1, 1);
  right->setSizes({200, 200});  // halves, whatever the table's size hint asks
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->addWidget(gridView_);
  split->addWidget(right);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(noteLabel_);
  layout->addWidget(split, 1);
  showNothing("The table in the data box shows here once it is read.");
}

QString DataPage::note() const {
  return noteLabel_->text();
}

void DataPage::showNothing(const QString& why) {
  noteLabel_->setText(why);
  gridModel_->setTable(nullptr);
  attributeTable_->setRowCount(0);
  summary_ = {};
  histogramView_->chart()->removeAllSeries();
  for (QAbstractAxis* axis : histogramView_->chart()->axes()) {
    histogramView_->chart()->removeAxis(axis);
    delete axis;
  }
  histogramView_->chart()->setTitle(QString());
}

void DataPage::showTable(std::shared_ptr<const TableLines> table, TableSummary summary,
                         const QString& description, const NumberFormat& format) {
  format_ = format;
  const QString note =
      !summary.classes.empty()
          ? QString("%1: %2 rows of %3 classes, %4 attributes.")
                .arg(description)
                .arg(summary.rows)
                .arg(summary.classes.size())
                .arg(summary.attributes.size())
          : QString("%1: %2 rows (%3 of class %4, %5 of class %6%7), %8 attributes.")
                .arg(description)
                .arg(summary.rows)
                .arg(summary.positives)
                .arg(fromUtf8(summary.positiveClass))
                .arg(summary.negatives)
                .arg(fromUtf8(summary.negativeClass))
                .arg(summary.others > 0 ? QString(", %1 of other classes").arg(summary.others)
                                        : QString())
                .arg(summary.attributes.size());
  showNothing(note);
  gridModel_->setTable(std::move(table));
  summary_ = std::move(summary);
  attributeTable_->setSortingEnabled(false);
  attributeTable_->setRowCount(static_cast<int>(summary_.attributes.size()));
  // Six significant digits are enough to see a range and a mean, and keep the columns narrow.
  const auto number = [&](double v) {
    if (std::isnan(v)) return new NumberCell(v, "n/a");
    QString text = QString::number(v, 'g', 6);
    if (!text.contains('e')) text.replace('.', fromUtf8(format_.decimalSeparator));
    return new NumberCell(v, text);
  };
  for (std::size_t a = 0; a < summary_.attributes.size(); ++a) {
    const AttributeSummary& s = summary_.attributes[a];
    const auto row = static_cast<int>(a);
    auto* name = new QTableWidgetItem(fromUtf8(s.name));
    name->setData(Qt::UserRole, row);
    attributeTable_->setItem(row, 0, name);
    attributeTable_->setItem(row, 1, number(s.minimum));
    attributeTable_->setItem(row, 2, number(s.maximum));
    attributeTable_->setItem(row, 3, number(s.mean));
    attributeTable_->setItem(
        row, 4, new NumberCell(static_cast<double>(s.missing), QString::number(s.missing)));
    attributeTable_->setItem(
        row, 5, new NumberCell(static_cast<double>(s.notNumbers), QString::number(s.notNumbers)));
  }
  attributeTable_->setSortingEnabled(true);
  if (!summary_.attributes.empty()) attributeTable_->selectRow(0);
}

void DataPage::drawHistogram(int attribute) {
  QChart* chart = histogramView_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  if (attribute < 0 || static_cast<std::size_t>(attribute) >= summary_.attributes.size()) return;
  const AttributeSummary& s = summary_.attributes[static_cast<std::size_t>(attribute)];
  auto* series = new QStackedBarSeries();
  const auto add = [&](const QString& name, const std::vector<std::int64_t>& counts,
                       QColor colour) {
    auto* set = new QBarSet(name);
    for (const std::int64_t c : counts) *set << static_cast<qreal>(c);
    set->setColor(colour);
    series->append(set);
  };
  add("class " + fromUtf8(summary_.positiveClass), s.positive, QColor(46, 139, 87));
  add("class " + fromUtf8(summary_.negativeClass), s.negative, QColor(205, 92, 92));
  std::int64_t others = 0;
  for (const std::int64_t c : s.other) others += c;
  if (others > 0) add("other", s.other, QColor(150, 150, 150));
  series->setBarWidth(0.95);
  chart->addSeries(series);
  // Each bar is named by the lower edge of its bin.
  QStringList edges;
  const auto bins = s.positive.size();
  for (std::size_t i = 0; i < bins; ++i) {
    const double edge = s.values == 0
                            ? 0.0
                            : s.minimum + (s.maximum - s.minimum) * static_cast<double>(i) /
                                              static_cast<double>(bins);
    edges << QString::number(edge, 'g', 3);
  }
  auto* x = new QBarCategoryAxis();
  x->append(edges);
  x->setLabelsAngle(-45);
  auto* y = new QValueAxis();
  y->setLabelFormat("%.0f");
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
  y->applyNiceNumbers();
  chart->setTitle(fromUtf8(s.name) + " by class");
}
