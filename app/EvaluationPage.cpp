#include "EvaluationPage.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <climits>
#include <cmath>

#include "QtText.h"
#include "RowsTable.h"
#include "RunHistoryView.h"
#include "ValidationReport.h"

namespace {

QString joined(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << fromUtf8(line);
  return list.join('\n');
}

QChartView* chartView(QWidget* parent, const QString& name) {
  auto* chart = new QChart();
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->setLocalizeNumbers(true);  // axis labels with the user's decimal separator
  auto* view = new QChartView(chart, parent);
  view->setObjectName(name);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumWidth(200);
  return view;
}

// Removes and deletes the chart's series and axes (removing an axis only gives it back).
void clearChart(QChart* chart) {
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
}

// Axis labels and titles a size smaller than the window's, so that a chart in a third of a
// 1024-pixel window keeps them whole.
void useSmallAxisFonts(QAbstractAxis* axis) {
  QFont font = axis->labelsFont();
  font.setPointSizeF(std::max(6.0, font.pointSizeF() - 1.5));
  axis->setLabelsFont(font);
  axis->setTitleFont(font);
}

// A cell that shows its text and sorts by its number (the text alone would sort "10" before
// "9", and a number alone would lose the text's format).
class NumberItem : public QTableWidgetItem {
 public:
  NumberItem(double value, const QString& text) : QTableWidgetItem(text), value_(value) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* number = dynamic_cast<const NumberItem*>(&other);
    if (number == nullptr) return QTableWidgetItem::operator<(other);
    // NaN ("n/a") sorts below every figure.
    if (std::isnan(value_) || std::isnan(number->value_)) {
      return std::isnan(value_) && !std::isnan(number->value_);
    }
    return value_ < number->value_;
  }

 private:
  double value_;
};

QTableWidgetItem* numberItem(double value, const QString& text) {
  return new NumberItem(value, text);
}

}  // namespace

EvaluationPage::EvaluationPage(QWidget* parent, const NumberFormat& format) : QWidget(parent) {
  setObjectName("EvaluationPage");
  const TuningListTexts lists = tuningListTexts(TuningGrid{}, format);
  auto list = [&](const char* name, const std::string& text) {
    auto* box = new QLineEdit(fromUtf8(text), this);
    box->setObjectName(name);
    box->setMinimumWidth(70);
    return box;
  };
  foldsBox_ = new QSpinBox(this);
  foldsBox_->setObjectName("foldsBox");
  foldsBox_->setRange(2, 100000);
  foldsBox_->setValue(ValidationOptions{}.folds);
  seedBox_ = new QSpinBox(this);
  seedBox_->setObjectName("seedBox");
  seedBox_->setRange(0, INT_MAX);
  seedBox_->setValue(static_cast<int>(ValidationOptions{}.seed));
  crossValidateButton_ = new QPushButton("Cross-validate", this);
  positiveHomogeneityList_ = list("positiveHomogeneityList", lists.positiveHomogeneity);
  positivePrevalenceList_ = list("positivePrevalenceList", lists.positivePrevalence);
  negativeHomogeneityList_ = list("negativeHomogeneityList", lists.negativeHomogeneity);
  negativePrevalenceList_ = list("negativePrevalenceList", lists.negativePrevalence);
  criterionBox_ = new QComboBox(this);
  criterionBox_->setObjectName("criterionBox");
  criterionBox_->addItems({"balanced accuracy", "accuracy", "AUC"});
  tuneButton_ = new QPushButton("Tune Parameters", this);
  useButton_ = new QPushButton("Use These Parameters", this);
  useButton_->setEnabled(false);
  crossValidateButton_->setObjectName("crossValidateButton");
  tuneButton_->setObjectName("tuneButton");
  useButton_->setObjectName("useButton");
  for (QPushButton* b : {crossValidateButton_, tuneButton_, useButton_}) b->setAutoDefault(false);
  connect(crossValidateButton_, &QPushButton::clicked, this, &EvaluationPage::crossValidateClicked);
  connect(tuneButton_, &QPushButton::clicked, this, &EvaluationPage::tuneClicked);
  connect(useButton_, &QPushButton::clicked, this, &EvaluationPage::useClicked);

  // Three rows, each laid out on its own so that none squeezes another's captions:
  // cross-validation and the tuning commands, the tuning lists, then how rows are judged. Captions,
  // the criterion and the buttons keep their whole text; the lists give way first.
  auto* controls = new QVBoxLayout();
  controls->setContentsMargins(4, 4, 4, 0);
  controls->setSpacing(2);
  auto* commands = new QHBoxLayout();
  auto* listRow = new QHBoxLayout();
  auto* judgingRow = new QHBoxLayout();
  for (QHBoxLayout* row : {commands, listRow, judgingRow}) {
    row->setSpacing(6);
    controls->addLayout(row);
  }
  auto caption = [&](QHBoxLayout* row, const char* text, QWidget* box) {
    auto* label = new QLabel(text, this);
    label->setBuddy(box);
    label->setMinimumWidth(label->sizeHint().width());
    row->addWidget(label);
    row->addWidget(box);
  };
  criterionBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (QPushButton* b : {crossValidateButton_, tuneButton_, useButton_}) {
    b->setMinimumWidth(b->sizeHint().width());
  }
  caption(commands, "Folds", foldsBox_);
  caption(commands, "Seed", seedBox_);
  commands->addWidget(crossValidateButton_);
  commands->addSpacing(12);
  caption(commands, "Rank by", criterionBox_);
  commands->addWidget(tuneButton_);
  commands->addWidget(useButton_);
  undecidedBox_ = new QComboBox(this);
  undecidedBox_->setObjectName("undecidedBox");
  undecidedBox_->addItems({"the larger class of the training table", "wrong", "class 1 (positive)",
                           "class 0 (negative)"});
  undecidedBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  undecidedBox_->setToolTip(
      "Rows no pattern decides (score 0): counted as wrong, or as a forecast of a class. Used by "
      "the figures of Apply Model and by Cross-validate and Tune.");
  caption(judgingRow, "Undecided rows count as", undecidedBox_);
  judgingRow->addSpacing(12);
  degreeList_ = list("degreeList", "");
  degreeList_->setPlaceholderText("the Degree");
  degreeList_->setToolTip(
      "Degrees that Tune Parameters tries, such as 2; 3 (empty: the Degree box).");
  selectionList_ = list("selectionList", "");
  selectionList_->setPlaceholderText("the selection");
  selectionList_->setToolTip(
      "Selections that Tune Parameters tries, such as none; cover:1; cover:3 (empty: the Pattern "
      "Selection box).");
  bothCutPointsBox_ = new QCheckBox("Tune both cut points", this);
  bothCutPointsBox_->setObjectName("bothCutPointsBox");
  bothCutPointsBox_->setToolTip(
      "Tune Parameters tries equal-frequency and class-aware cut points (unchecked: the Cut "
      "Points box).");
  caption(judgingRow, "Tune degrees", degreeList_);
  caption(judgingRow, "Tune selections", selectionList_);
  judgingRow->addWidget(bothCutPointsBox_);
  judgingRow->addStretch(1);
  connect(undecidedBox_, &QComboBox::currentIndexChanged, this, [this] {
    if (testSet_) judgeTestSet();
  });
  caption(listRow, "Positive Homogeneity", positiveHomogeneityList_);
  caption(listRow, "Positive Prevalence", positivePrevalenceList_);
  caption(listRow, "Negative Homogeneity", negativeHomogeneityList_);
  caption(listRow, "Negative Prevalence", negativePrevalenceList_);
  listRow->addStretch(1);
  commands->addStretch(1);

  figuresText_ = new QPlainTextEdit(this);
  figuresText_->setObjectName("figuresText");
  figuresText_->setReadOnly(true);
  figuresText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSize(9);
  figuresText_->setFont(fixed);
  rocView_ = chartView(this, "rocView");
  distributionView_ = chartView(this, "distributionView");
  tuningTable_ = new QTableWidget(this);
  tuningTable_->setObjectName("tuningTable");
  tuningTable_->setColumnCount(14);
  tuningTable_->setHorizontalHeaderLabels(
      {"Rank", "Pos. Hom.", "Pos. Prev.", "Neg. Hom.", "Neg. Prev.", "Balanced", "SD", "Accuracy",
       "AUC", "Undecided", "Patterns", "Degree", "Cut points", "Selection"});
  tuningTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tuningTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  tuningTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tuningTable_->setSortingEnabled(true);
  tuningTable_->verticalHeader()->hide();
  tuningTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(tuningTable_, &QTableWidget::itemSelectionChanged, this,
          [this] { useButton_->setEnabled(selectedSet().has_value()); });

  // The figures and both charts side by side; the tuning results below them, when there are
  // any, so that neither squeezes the charts.
  auto* figures = new QSplitter(Qt::Horizontal, this);
  figures->addWidget(figuresText_);
  figures->addWidget(rocView_);
  figures->addWidget(distributionView_);
  // The figures (the fold table is some 500 pixels wide) take half the width.
  figures->setStretchFactor(0, 2);
  figures->setStretchFactor(1, 1);
  figures->setStretchFactor(2, 1);
  // Below them, a tab each for the rows of the test set, the run history and the tuning results.
  rowsModel_ = new RowsTableModel(this);
  rowsFilter_ = new WrongOnlyFilter(this);
  rowsFilter_->setSourceModel(rowsModel_);
  rowsView_ = new QTableView(this);
  rowsView_->setObjectName("rowsView");
  rowsView_->setModel(rowsFilter_);
  rowsView_->setSortingEnabled(true);
  rowsView_->sortByColumn(-1, Qt::AscendingOrder);  // the table's order until a header is clicked
  rowsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rowsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rowsView_->verticalHeader()->hide();
  rowsView_->verticalHeader()->setDefaultSectionSize(20);
  rowsView_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  rowsView_->setToolTip("Double-click a row to see why it got its score.");
  connect(rowsView_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    emit rowChosen(static_cast<std::size_t>(index.data(RowsTableModel::kRowRole).toInt()));
  });
  wrongOnlyBox_ = new QCheckBox("Wrong only", this);
  wrongOnlyBox_->setObjectName("wrongOnlyBox");
  connect(wrongOnlyBox_, &QCheckBox::toggled, rowsFilter_, &WrongOnlyFilter::setWrongOnly);
  auto* rowsPage = new QWidget(this);
  auto* rowsLayout = new QVBoxLayout(rowsPage);
  rowsLayout->setContentsMargins(2, 2, 2, 2);
  rowsLayout->setSpacing(2);
  rowsLayout->addWidget(wrongOnlyBox_);
  rowsLayout->addWidget(rowsView_, 1);
  historyView_ = new RunHistoryView(this, format);
  historyView_->setObjectName("historyView");
  resultTabs_ = new QTabWidget(this);
  resultTabs_->setObjectName("resultTabs");
  resultTabs_->addTab(rowsPage, "Rows");
  resultTabs_->addTab(historyView_, "History");
  resultTabs_->addTab(tuningTable_, "Tuning");
  // Small minimums, so that the tab never squeezes the parameter panel above it: the splitter
  // handles give either part more room.
  for (QWidget* part : std::initializer_list<QWidget*>{figuresText_, rocView_, distributionView_,
                                                       rowsView_, tuningTable_}) {
    part->setMinimumHeight(40);
  }
  resultTabs_->setMinimumHeight(70);
  auto* panes = new QSplitter(Qt::Vertical, this);
  panes->addWidget(figures);
  panes->addWidget(resultTabs_);
  panes->setStretchFactor(0, 3);
  panes->setStretchFactor(1, 2);
  // The figures text is some 60 characters wide after Apply (the fold table, wider, scrolls);
  // the charts get the rest, so that their axis labels are not elided at 1024 pixels.
  figures->setSizes({470, 275, 275});  // scaled to the width the tab gets
  panes->setSizes({280, 190});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(controls);
  layout->addWidget(panes, 1);
  showNothing(
      "Apply a model to a table with classes 0 and 1 to see how good it is, or "
      "cross-validate the parameters.");
}

bool EvaluationPage::bothCutPoints() const {
  return bothCutPointsBox_->isChecked();
}

UndecidedRule EvaluationPage::undecidedRule() const {
  switch (undecidedBox_->currentIndex()) {
    case 1:
      return UndecidedRule::Wrong;
    case 2:
      return UndecidedRule::ClassOne;
    case 3:
      return UndecidedRule::ClassZero;
    default:
      break;
  }
  return UndecidedRule::LargerClass;
}

void EvaluationPage::setUndecidedRule(UndecidedRule rule) {
  const int index = rule == UndecidedRule::Wrong       ? 1
                    : rule == UndecidedRule::ClassOne  ? 2
                    : rule == UndecidedRule::ClassZero ? 3
                                                       : 0;
  undecidedBox_->setCurrentIndex(index);
}

std::int32_t EvaluationPage::undecidedClassFor(const std::optional<ClassCounts>& training) const {
  return undecidedClass(undecidedRule(), training ? &*training : nullptr);
}

Metrics EvaluationPage::showTestSet(const QString& heading, std::vector<ScoredRow> rows,
                                    std::optional<ClassCounts> training, const QString& modelSize,
                                    const NumberFormat& format) {
  TestSet set{heading, {}, training, modelSize, format};
  set.scored.reserve(rows.size());
  for (const ScoredRow& row : rows) set.scored.push_back({row.cls, row.score});
  testSet_ = std::move(set);
  rowsModel_->setRows(std::move(rows), undecidedClassFor(training), format);
  return judgeTestSet();
}

Metrics EvaluationPage::judgeTestSet() {
  const TestSet& set = *testSet_;
  Metrics metrics = evaluateScores(set.scored);
  const std::int32_t undecidedAs = undecidedClassFor(set.training);
  if (undecidedAs != kOtherClass) decideUndecided(metrics, undecidedAs);
  rowsModel_->setUndecidedAs(undecidedAs);
  QString heading = set.heading;
  if (undecidedRule() == UndecidedRule::LargerClass && undecidedAs == kOtherClass) {
    heading += set.training ? "\nThe training table holds as many of each class: undecided rows "
                              "count as wrong."
                            : "\nThe training table of this model is not known here: undecided "
                              "rows count as wrong.";
  }
  if (metrics.positives + metrics.negatives == 0) {
    showNothing(heading + "\n\nNo observation has class 0 or 1: there is nothing to judge.");
    return metrics;
  }
  figuresText_->setPlainText(heading + "\n\n" + joined(metricsReport(metrics, set.format)) +
                             (set.modelSize.isEmpty() ? QString() : "\n\n" + set.modelSize));
  drawRoc("Test set", metrics, set.format);
  drawDistribution("Test set", metrics);
  return metrics;
}

TuningListTexts EvaluationPage::listTexts() const {
  return {positiveHomogeneityList_->text().toStdString(),
          positivePrevalenceList_->text().toStdString(),
          negativeHomogeneityList_->text().toStdString(),
          negativePrevalenceList_->text().toStdString()};
}

ValidationOptions EvaluationPage::validationOptions() const {
  ValidationOptions options;
  options.folds = foldsBox_->value();
  options.undecidedAs = undecidedClassFor(std::nullopt);  // the window puts the larger class
  options.seed = static_cast<std::uint64_t>(seedBox_->value());
  return options;
}

QLineEdit* EvaluationPage::listBox(ParameterField field) const {
  switch (field) {
    case ParameterField::PositiveHomogeneity:
      return positiveHomogeneityList_;
    case ParameterField::PositivePrevalence:
      return positivePrevalenceList_;
    case ParameterField::NegativeHomogeneity:
      return negativeHomogeneityList_;
    default:
      break;
  }
  return negativePrevalenceList_;
}

TuningCriterion EvaluationPage::criterion() const {
  switch (criterionBox_->currentIndex()) {
    case 1:
      return TuningCriterion::Accuracy;
    case 2:
      return TuningCriterion::Auc;
    default:
      break;
  }
  return TuningCriterion::BalancedAccuracy;
}

std::optional<LearningParameters> EvaluationPage::selectedSet() const {
  const QList<QTableWidgetItem*> items = tuningTable_->selectedItems();
  if (items.isEmpty()) return std::nullopt;
  const QTableWidgetItem* first = tuningTable_->item(items.front()->row(), 0);
  const auto index = static_cast<std::size_t>(first->data(Qt::UserRole).toULongLong());
  if (index >= tunedSets_.size()) return std::nullopt;
  return tunedSets_[index];
}

void EvaluationPage::tableReplaced(const QString& fileName) {
  tunedSets_.clear();
  tuningTable_->clearContents();
  tuningTable_->setRowCount(0);
  useButton_->setEnabled(false);
  const QString figures = figuresText_->toPlainText();
  if (figures.isEmpty() || figures.startsWith("Apply a model")) return;
  const QString earlier = "Open Data has put " + fileName +
                          " in the data box: the figures below are of the table before it.";
  if (!figures.startsWith("Open Data has put ")) {
    figuresText_->setPlainText(earlier + "\n\n" + figures);
  } else {
    figuresText_->setPlainText(earlier + figures.mid(figures.indexOf('\n')));
  }
}

void EvaluationPage::showNothing(const QString& why) {
  figuresText_->setPlainText(why);
  for (QChartView* view : {rocView_, distributionView_}) {
    clearChart(view->chart());
    view->chart()->setTitle(QString());
  }
}

void EvaluationPage::showMetrics(const QString& heading, const Metrics& metrics,
                                 const NumberFormat& format) {
  if (metrics.positives + metrics.negatives == 0) {
    showNothing(heading + "\n\nNo observation has class 0 or 1: there is nothing to judge.");
    return;
  }
  testSet_.reset();
  figuresText_->setPlainText(heading + "\n\n" + joined(metricsReport(metrics, format)));
  drawRoc("Test set", metrics, format);
  drawDistribution("Test set", metrics);
}

void EvaluationPage::showCrossValidation(const CrossValidationResult& result,
                                         const NumberFormat& format) {
  testSet_.reset();
  figuresText_->setPlainText(joined(crossValidationReport(result, format)));
  drawCrossValidation(result, format);
}

void EvaluationPage::showTuning(const std::vector<CrossValidationResult>& ranked,
                                TuningCriterion criterion, const NumberFormat& format) {
  tunedSets_.clear();
  tuningTable_->setSortingEnabled(false);
  tuningTable_->clearContents();
  tuningTable_->setRowCount(static_cast<int>(ranked.size()));
  for (std::size_t i = 0; i < ranked.size(); ++i) {
    const CrossValidationResult& r = ranked[i];
    const LearningParameters& p = r.parameters;
    const FoldSummary& s = r.summary;
    tunedSets_.push_back(p);
    const auto row = static_cast<int>(i);
    const auto share = [&](double v) { return numberItem(v, fromUtf8(numberText(v, format))); };
    const auto figure = [&](double v) { return numberItem(v, fromUtf8(metricText(v, format))); };
    QTableWidgetItem* rank = numberItem(static_cast<double>(i + 1), QString::number(i + 1));
    rank->setData(Qt::UserRole, static_cast<qulonglong>(i));
    tuningTable_->setItem(row, 0, rank);
    tuningTable_->setItem(row, 1, share(p.positiveHomogeneity));
    tuningTable_->setItem(row, 2, share(p.positivePrevalence));
    tuningTable_->setItem(row, 3, share(p.negativeHomogeneity));
    tuningTable_->setItem(row, 4, share(p.negativePrevalence));
    tuningTable_->setItem(row, 5, figure(s.balancedAccuracy.mean));
    tuningTable_->setItem(row, 6, figure(s.balancedAccuracy.deviation));
    tuningTable_->setItem(row, 7, figure(s.accuracy.mean));
    tuningTable_->setItem(row, 8, figure(s.auc.mean));
    tuningTable_->setItem(row, 9, figure(s.undecidedShare.mean));
    const double patterns = s.positivePatterns.mean + s.negativePatterns.mean;
    tuningTable_->setItem(row, 10, numberItem(patterns, QString::number(patterns, 'f', 1)));
    tuningTable_->setItem(row, 11, numberItem(p.degree, QString::number(p.degree)));
    auto* cuts = new QTableWidgetItem(
        p.discretization == Discretization::ClassAware ? "class-aware" : "equal frequency");
    cuts->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    tuningTable_->setItem(row, 12, cuts);
    tuningTable_->setItem(
        row, 13,
        numberItem(p.coverTarget, p.coverTarget == 0 ? QString("keep all")
                                                     : QString("cover %1").arg(p.coverTarget)));
  }
  tuningTable_->setSortingEnabled(true);
  tuningTable_->sortByColumn(0, Qt::AscendingOrder);
  resultTabs_->setCurrentWidget(tuningTable_);
  if (ranked.empty()) return;
  testSet_.reset();
  tuningTable_->selectRow(0);
  figuresText_->setPlainText(joined(tuningReport(ranked, criterion, format)) +
                             "\n\nThe best set:\n" +
                             joined(crossValidationReport(ranked.front(), format)));
  drawCrossValidation(ranked.front(), format);
}

void EvaluationPage::drawCrossValidation(const CrossValidationResult& result,
                                         const NumberFormat& format) {
  if (result.multiClass()) {
    for (QChartView* view : {rocView_, distributionView_}) {
      clearChart(view->chart());
      view->chart()->setTitle(QString());
    }
    return;
  }
  drawRoc("Cross-validation", result.pooled, format);
  drawDistribution("Cross-validation", result.pooled);
}

void EvaluationPage::drawRoc(const QString& whose, const Metrics& metrics,
                             const NumberFormat& format) {
  QChart* chart = rocView_->chart();
  clearChart(chart);
  auto* curve = new QLineSeries();
  curve->setName("ROC");
  for (const RocPoint& p : metrics.roc) {
    if (!std::isnan(p.falsePositiveRate) && !std::isnan(p.truePositiveRate)) {
      curve->append(p.falsePositiveRate, p.truePositiveRate);
    }
  }
  auto* chance = new QLineSeries();
  chance->setName("chance");
  chance->append(0, 0);
  chance->append(1, 1);
  QPen dashed(Qt::gray);
  dashed.setStyle(Qt::DashLine);
  chance->setPen(dashed);
  chart->addSeries(curve);
  chart->addSeries(chance);
  auto* x = new QValueAxis();
  x->setRange(0, 1);
  x->setTickCount(3);
  x->setTitleText("False positive rate");
  auto* y = new QValueAxis();
  y->setRange(0, 1);
  y->setTickCount(3);
  y->setTitleText("True positive rate");
  useSmallAxisFonts(x);
  useSmallAxisFonts(y);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QLineSeries* s : {curve, chance}) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  chart->legend()->hide();  // the dashed diagonal is chance, as on every ROC chart
  chart->setTitle(whose + ": ROC curve, AUC " + fromUtf8(metricText(metrics.auc, format)));
}

void EvaluationPage::drawDistribution(const QString& whose, const Metrics& metrics) {
  QChart* chart = distributionView_->chart();
  clearChart(chart);
  const ScoreHistogram& h = metrics.histogram;
  auto* x = new QValueAxis();
  x->setRange(-1, 1);
  x->setTickCount(3);
  x->setLabelFormat("%.1f");
  x->setTitleText("Score");
  auto* y = new QValueAxis();
  y->setLabelFormat("%.0f");
  y->setTitleText("Observations");
  useSmallAxisFonts(x);
  useSmallAxisFonts(y);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  std::int64_t highest = 1;
  // Each class as a filled step line over the bins, see-through where the classes overlap.
  const auto steps = [&](const char* name, const std::vector<std::int64_t>& counts, QColor colour) {
    auto* area = new QAreaSeries();
    auto* upper = new QLineSeries(area);  // the area does not own its line
    for (std::size_t i = 0; i < counts.size(); ++i) {
      upper->append(h.edges[i], static_cast<qreal>(counts[i]));
      upper->append(h.edges[i + 1], static_cast<qreal>(counts[i]));
      highest = std::max(highest, counts[i]);
    }
    area->setUpperSeries(upper);
    area->setName(name);
    area->setPen(QPen(colour, 1.5));
    colour.setAlpha(90);
    area->setBrush(colour);
    chart->addSeries(area);
    area->attachAxis(x);
    area->attachAxis(y);
  };
  steps("class 1", h.positive, QColor(46, 139, 87));
  steps("class 0", h.negative, QColor(205, 92, 92));
  y->setRange(0, static_cast<qreal>(highest));
  y->applyNiceNumbers();
  chart->setTitle(whose + ": score distribution, " + QString::number(h.positive.size()) + " bins");
}

QList<QPushButton*> EvaluationPage::commandButtons() const {
  return {crossValidateButton_, tuneButton_, useButton_};
}

void EvaluationPage::offerSelectedSet() {
  useButton_->setEnabled(selectedSet().has_value());
}
