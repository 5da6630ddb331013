#include "PatternsPage.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "PatternBrowse.h"
#include "PatternReport.h"
#include "QtText.h"

void PatternTableModel::setTable(std::shared_ptr<const PatternTable> table) {
  beginResetModel();
  table_ = std::move(table);
  order_.clear();
  if (table_) {
    order_.resize(static_cast<std::size_t>(table_->size()));
    for (std::size_t j = 0; j < order_.size(); ++j) order_[j] = static_cast<std::int32_t>(j);
  }
  refill();
  endResetModel();
}

void PatternTableModel::setFilter(int cls, const QString& text) {
  beginResetModel();
  filterClass_ = cls;
  filterText_ = text.trimmed();
  refill();
  endResetModel();
}

void PatternTableModel::refill() {
  shown_ = table_ ? filterPatterns(*table_, order_, filterClass_, filterText_.toStdString())
                  : std::vector<std::int32_t>{};
}

int PatternTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int PatternTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count;
}

QVariant PatternTableModel::data(const QModelIndex& index, int role) const {
  if (!table_ || !index.isValid()) return {};
  const PatternTable& t = *table_;
  const std::int32_t j = pattern(index.row());
  if (role == Qt::TextAlignmentRole) {
    return index.column() == Rule || index.column() == Name
               ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
               : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case Name:
      return fromUtf8(t.name(j));
    case Class:
      return t.isPositive(j) ? 1 : 0;
    case Degree:
      return t.degree(j);
    case Rule:
      return fromUtf8(t.rule(j));
    case Positive:
      return t.hasTable() ? QVariant(t.covered(j).positive) : QVariant("-");
    case Negative:
      return t.hasTable() ? QVariant(t.covered(j).negative) : QVariant("-");
    case Prevalence:
      return fromUtf8(shareForReading(t.prevalence(j), t.rules().format()));
    case Homogeneity:
      return fromUtf8(shareForReading(t.homogeneity(j), t.rules().format()));
    default:
      return {};
  }
}

QVariant PatternTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const captions[] = {"Pattern",  "Class",    "Degree",     "Rule",
                                         "Positive", "Negative", "Prevalence", "Homogeneity"};
  return section >= 0 && section < Count ? QVariant(captions[section]) : QVariant();
}

void PatternTableModel::sort(int column, Qt::SortOrder order) {
  if (!table_ || column < 0 || column >= Count) return;
  beginResetModel();
  sortPatterns(*table_, order_, static_cast<PatternColumn>(column), order == Qt::AscendingOrder);
  refill();
  endResetModel();
}

PatternsPage::PatternsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("PatternsPage");
  FilterBox = new QLineEdit(this);
  FilterBox->setObjectName("FilterBox");
  FilterBox->setPlaceholderText("Filter: an attribute name, or a pattern such as P12");
  FilterBox->setClearButtonEnabled(true);
  ClassBox = new QComboBox(this);
  ClassBox->setObjectName("ClassBox");
  ClassBox->addItems({"Both classes", "Positive (1)", "Negative (0)"});
  NoteLabel = new QLabel(this);
  NoteLabel->setObjectName("NoteLabel");
  Patterns = new PatternTableModel(this);
  PatternView = new QTableView(this);
  PatternView->setObjectName("PatternView");
  PatternView->setModel(Patterns);
  PatternView->setSortingEnabled(true);
  PatternView->sortByColumn(PatternTableModel::Name, Qt::AscendingOrder);
  PatternView->setSelectionBehavior(QAbstractItemView::SelectRows);
  PatternView->setSelectionMode(QAbstractItemView::SingleSelection);
  PatternView->setWordWrap(false);
  PatternView->verticalHeader()->hide();
  // Fixed row heights and column widths: nothing is measured over millions of rows.
  PatternView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  PatternView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  PatternView->horizontalHeader()->setStretchLastSection(false);
  const int widths[] = {70, 45, 50, 520, 65, 65, 80, 90};
  for (int c = 0; c < PatternTableModel::Count; ++c) PatternView->setColumnWidth(c, widths[c]);
  CoveredText = new QPlainTextEdit(this);
  CoveredText->setObjectName("CoveredText");
  CoveredText->setReadOnly(true);
  CoveredText->setLineWrapMode(QPlainTextEdit::NoWrap);
  CoveredText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  filterTimer_ = new QTimer(this);
  filterTimer_->setSingleShot(true);
  filterTimer_->setInterval(250);  // filter once typing pauses
  const auto filter = [this] {
    const int cls = ClassBox->currentIndex() == 1 ? 1 : (ClassBox->currentIndex() == 2 ? 0 : -1);
    Patterns->setFilter(cls, FilterBox->text());
    showCovered();
  };
  connect(filterTimer_, &QTimer::timeout, this, filter);
  connect(FilterBox, &QLineEdit::textChanged, filterTimer_, qOverload<>(&QTimer::start));
  connect(ClassBox, &QComboBox::currentIndexChanged, this, filter);
  connect(PatternView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &PatternsPage::showCovered);

  auto* top = new QHBoxLayout();
  top->setContentsMargins(4, 4, 4, 0);
  top->addWidget(FilterBox, 2);
  top->addWidget(ClassBox);
  top->addWidget(NoteLabel, 3);
  auto* panes = new QSplitter(Qt::Horizontal, this);
  panes->addWidget(PatternView);
  panes->addWidget(CoveredText);
  panes->setStretchFactor(0, 4);
  panes->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(top);
  layout->addWidget(panes, 1);
  NoteLabel->setText("Build or load a model to see its patterns.");
}

void PatternsPage::showPatterns(std::shared_ptr<const PatternTable> table, const QString& note) {
  Patterns->setTable(std::move(table));
  const int column = PatternView->horizontalHeader()->sortIndicatorSection();
  Patterns->sort(column, PatternView->horizontalHeader()->sortIndicatorOrder());
  const int cls = ClassBox->currentIndex() == 1 ? 1 : (ClassBox->currentIndex() == 2 ? 0 : -1);
  Patterns->setFilter(cls, FilterBox->text());
  NoteLabel->setText(note);
  showCovered();
}

void PatternsPage::clearFilters() {
  filterTimer_->stop();
  const QSignalBlocker blockText(FilterBox);
  const QSignalBlocker blockClass(ClassBox);
  FilterBox->clear();
  ClassBox->setCurrentIndex(0);
}

void PatternsPage::showCovered() {
  const PatternTable* t = Patterns->table();
  const QModelIndexList rows = PatternView->selectionModel()->selectedRows();
  if (t == nullptr || rows.isEmpty()) {
    CoveredText->setPlainText(t != nullptr && t->hasTable()
                                  ? "Select a pattern to list the observations it covers."
                                  : "");
    return;
  }
  const std::int32_t j = Patterns->pattern(rows.front().row());
  if (!t->hasTable()) {
    CoveredText->setPlainText(fromUtf8(t->name(j)) + ": " + fromUtf8(t->rule(j)));
    return;
  }
  const std::vector<std::int32_t> covered = t->coveredRows(j);
  QStringList lines;
  lines << fromUtf8(t->name(j)) + " covers " + QString::number(covered.size()) + " observation(s):";
  for (const std::int32_t r : covered) {
    const auto row = static_cast<std::size_t>(r);
    lines << fromUtf8(t->table().name(row)) + "  class " + fromUtf8(t->table().classField(row));
  }
  CoveredText->setPlainText(lines.join('\n'));
}
