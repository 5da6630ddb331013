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
  filterBox_ = new QLineEdit(this);
  filterBox_->setObjectName("filterBox");
  filterBox_->setPlaceholderText("Filter: an attribute name, or a pattern such as P12");
  filterBox_->setClearButtonEnabled(true);
  classBox_ = new QComboBox(this);
  classBox_->setObjectName("classBox");
  classBox_->addItems({"Both classes", "Positive (1)", "Negative (0)"});
  noteLabel_ = new QLabel(this);
  noteLabel_->setObjectName("noteLabel");
  noteLabel_->setWordWrap(true);
  noteLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  patterns_ = new PatternTableModel(this);
  patterns_->setObjectName("patternModel");
  patternView_ = new QTableView(this);
  patternView_->setObjectName("patternView");
  patternView_->setModel(patterns_);
  patternView_->setSortingEnabled(true);
  patternView_->sortByColumn(PatternTableModel::Name, Qt::AscendingOrder);
  patternView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  patternView_->setSelectionMode(QAbstractItemView::SingleSelection);
  patternView_->setWordWrap(false);
  patternView_->verticalHeader()->hide();
  // Fixed row heights and column widths: nothing is measured over millions of rows.
  patternView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  patternView_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  patternView_->horizontalHeader()->setStretchLastSection(false);
  // Every column but the rule's at a fixed width; the rule takes the room left, so that the
  // counts and shares show at the window's size (a rule cut short shows whole in its tip).
  const int widths[] = {60, 45, 50, 300, 65, 65, 75, 90};
  for (int c = 0; c < PatternTableModel::Count; ++c) patternView_->setColumnWidth(c, widths[c]);
  patternView_->horizontalHeader()->setSectionResizeMode(PatternTableModel::Rule,
                                                         QHeaderView::Stretch);
  coveredText_ = new QPlainTextEdit(this);
  coveredText_->setObjectName("coveredText");
  coveredText_->setReadOnly(true);
  coveredText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  coveredText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  filterTimer_ = new QTimer(this);
  filterTimer_->setSingleShot(true);
  filterTimer_->setInterval(250);  // filter once typing pauses
  const auto filter = [this] {
    const int cls = classBox_->currentIndex() == 1 ? 1 : (classBox_->currentIndex() == 2 ? 0 : -1);
    patterns_->setFilter(cls, filterBox_->text());
    showCovered();
  };
  connect(filterTimer_, &QTimer::timeout, this, filter);
  connect(filterBox_, &QLineEdit::textChanged, filterTimer_, qOverload<>(&QTimer::start));
  connect(classBox_, &QComboBox::currentIndexChanged, this, filter);
  connect(patternView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &PatternsPage::showCovered);

  auto* top = new QHBoxLayout();
  top->setContentsMargins(4, 4, 4, 0);
  top->addWidget(filterBox_, 2);
  top->addWidget(classBox_);
  top->addWidget(noteLabel_, 3);
  auto* panes = new QSplitter(Qt::Horizontal, this);
  panes->addWidget(patternView_);
  panes->addWidget(coveredText_);
  panes->setStretchFactor(0, 4);
  panes->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(top);
  layout->addWidget(panes, 1);
  noteLabel_->setText("Build or load a model to see its patterns.");
}

void PatternsPage::showPatterns(std::shared_ptr<const PatternTable> table, const QString& note) {
  patterns_->setTable(std::move(table));
  const int column = patternView_->horizontalHeader()->sortIndicatorSection();
  patterns_->sort(column, patternView_->horizontalHeader()->sortIndicatorOrder());
  const int cls = classBox_->currentIndex() == 1 ? 1 : (classBox_->currentIndex() == 2 ? 0 : -1);
  patterns_->setFilter(cls, filterBox_->text());
  noteLabel_->setText(note);
  showCovered();
}

void PatternsPage::clearFilters() {
  filterTimer_->stop();
  const QSignalBlocker blockText(filterBox_);
  const QSignalBlocker blockClass(classBox_);
  filterBox_->clear();
  classBox_->setCurrentIndex(0);
}

void PatternsPage::showCovered() {
  const PatternTable* t = patterns_->table();
  const QModelIndexList rows = patternView_->selectionModel()->selectedRows();
  if (t == nullptr || rows.isEmpty()) {
    coveredText_->setPlainText(t != nullptr && t->hasTable()
                                   ? "Select a pattern to list the observations it covers."
                                   : "");
    return;
  }
  const std::int32_t j = patterns_->pattern(rows.front().row());
  if (!t->hasTable()) {
    coveredText_->setPlainText(fromUtf8(t->name(j)) + ": " + fromUtf8(t->rule(j)));
    return;
  }
  const std::vector<std::int32_t> covered = t->coveredRows(j);
  QStringList lines;
  lines << fromUtf8(t->name(j)) + " covers " + QString::number(covered.size()) + " observation(s):";
  for (const std::int32_t r : covered) {
    const auto row = static_cast<std::size_t>(r);
    lines << fromUtf8(t->table().name(row)) + "  class " + fromUtf8(t->table().classField(row));
  }
  coveredText_->setPlainText(lines.join('\n'));
}
