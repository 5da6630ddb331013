#include "ImportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "LadError.h"
#include "QtText.h"
#include "TextTable.h"

namespace {

// The preview shows this many rows: enough to see the columns' kinds.
constexpr std::size_t kPreviewRows = 20;

QString separatorName(char separator) {
  switch (separator) {
    case ';':
      return ";";
    case '\t':
      return "tab";
    default:
      return ",";
  }
}

}  // namespace

ImportDialog::ImportDialog(const std::string& text, const QString& fileName,
                           const NumberFormat& format, QWidget* parent)
    : QDialog(parent), text_(text), fileName_(fileName), format_(format) {
  setObjectName("importDialog");
  setWindowTitle("Import " + fileName);
  file_ = readTextTable(text_, toUtf8(fileName_));

  preview_ = new QTableWidget(this);
  preview_->setObjectName("importPreview");
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->verticalHeader()->setVisible(false);
  preview_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

  separatorBox_ = new QComboBox(this);
  separatorBox_->setObjectName("importSeparator");
  separatorBox_->addItem(file_.arff ? QString("found (ARFF)")
                                    : "found (" + separatorName(file_.separator) + ")",
                         0);
  if (!file_.arff) {
    separatorBox_->addItem(",", static_cast<int>(','));
    separatorBox_->addItem(";", static_cast<int>(';'));
    separatorBox_->addItem("tab", static_cast<int>('\t'));
  }
  idBox_ = new QComboBox(this);
  idBox_->setObjectName("importId");
  classBox_ = new QComboBox(this);
  classBox_->setObjectName("importClass");
  positiveBox_ = new QComboBox(this);
  positiveBox_->setObjectName("importPositive");
  missingBox_ = new QLineEdit(this);
  missingBox_->setObjectName("importMissing");
  missingBox_->setToolTip("The texts that mark a missing value, separated by spaces.");
  emptyMissing_ = new QCheckBox("Empty fields are missing", this);
  emptyMissing_->setObjectName("importEmptyMissing");
  // The defaults of the table reading: "", "?" and "NA".
  QStringList texts;
  for (const std::string& t : defaultMissingTexts()) {
    if (!t.empty()) texts << fromUtf8(t);
  }
  missingBox_->setText(texts.join(' '));
  emptyMissing_->setChecked(true);
  categoryList_ = new QListWidget(this);
  categoryList_->setObjectName("importCategories");
  categoryList_->setToolTip("Columns read as categories: each value becomes an attribute.");
  problem_ = new QLabel(this);
  problem_->setObjectName("importProblem");
  problem_->setWordWrap(true);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* form = new QFormLayout;
  form->addRow("&Separator:", separatorBox_);
  form->addRow("&Row names:", idBox_);
  form->addRow("C&lass column:", classBox_);
  form->addRow("&Positive class:", positiveBox_);
  auto* missingRow = new QHBoxLayout;
  missingRow->addWidget(missingBox_, 1);
  missingRow->addWidget(emptyMissing_);
  auto* missingLabel = new QLabel("&Missing values:", this);
  missingLabel->setBuddy(missingBox_);
  form->addRow(missingLabel, missingRow);
  auto* columns = new QVBoxLayout;
  columns->addLayout(form);
  columns->addWidget(new QLabel("C&ategorical columns:", this));
  columns->addWidget(categoryList_, 1);
  qobject_cast<QLabel*>(columns->itemAt(1)->widget())->setBuddy(categoryList_);
  auto* top = new QHBoxLayout;
  top->addLayout(columns, 0);
  top->addWidget(preview_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(problem_);
  layout->addWidget(buttons_);

  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(separatorBox_, &QComboBox::currentIndexChanged, this, [this] { readWithSeparator(); });
  connect(classBox_, &QComboBox::currentIndexChanged, this, [this] {
    if (filling_) return;
    fillPositive();
    fillCategories();
  });
  connect(idBox_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) fillCategories();
  });
  connect(positiveBox_, &QComboBox::currentIndexChanged, this, [this] { updateOk(); });
  connect(missingBox_, &QLineEdit::textChanged, this, [this] { fillPositive(); });
  connect(emptyMissing_, &QCheckBox::toggled, this, [this] { fillPositive(); });
  readWithSeparator();
  resize(900, 520);
}

void ImportDialog::readWithSeparator() {
  const char separator = static_cast<char>(separatorBox_->currentData().toInt());
  filling_ = true;
  idBox_->clear();
  classBox_->clear();
  categoryList_->clear();
  preview_->clear();
  preview_->setRowCount(0);
  preview_->setColumnCount(0);
  try {
    file_ = readTextTable(text_, toUtf8(fileName_), {separator});
    problem_->clear();
  } catch (const LadError& e) {
    file_ = TextTable{};
    filling_ = false;
    problem_->setText(fromUtf8(e.what()));
    positiveBox_->clear();
    updateOk();
    return;
  }
  const ReadingDefaults defaults = readingDefaults(file_, format_);
  defaultCategorical_ = defaults.categorical;
  QStringList headings;
  for (const std::string& c : file_.columns) headings << fromUtf8(c);
  preview_->setColumnCount(static_cast<int>(file_.columns.size()));
  preview_->setHorizontalHeaderLabels(headings);
  const std::size_t shown = std::min(file_.rows(), kPreviewRows);
  preview_->setRowCount(static_cast<int>(shown));
  for (std::size_t r = 0; r < shown; ++r) {
    for (std::size_t c = 0; c < file_.columns.size(); ++c) {
      preview_->setItem(static_cast<int>(r), static_cast<int>(c),
                        new QTableWidgetItem(fromUtf8(std::string(file_.field(r, c)))));
    }
  }
  preview_->resizeColumnsToContents();
  idBox_->addItem("none");
  idBox_->addItems(headings);
  classBox_->addItems(headings);
  classBox_->setCurrentIndex(static_cast<int>(defaults.classColumn));
  idBox_->setCurrentIndex(defaults.idColumn ? static_cast<int>(*defaults.idColumn) + 1 : 0);
  filling_ = false;
  fillPositive();
  fillCategories();
}

std::vector<std::string> ImportDialog::missingTexts() const {
  std::vector<std::string> texts;
  if (emptyMissing_->isChecked()) texts.emplace_back();
  for (const QString& t : missingBox_->text().split(' ', Qt::SkipEmptyParts)) {
    texts.push_back(toUtf8(t));
  }
  return texts;
}

void ImportDialog::fillPositive() {
  const QString before = positiveBox_->currentData().toString();
  positiveBox_->clear();
  const int column = classBox_->currentIndex();
  if (column < 0) {
    updateOk();
    return;
  }
  const std::vector<std::string> classes =
      columnClasses(file_, static_cast<std::size_t>(column), missingTexts(), format_);
  if (positiveClassNeeded(classes, format_)) {
    positiveBox_->addItem("(choose the positive class)", QString());
  } else if (classes.size() >= 3) {
    positiveBox_->addItem("all classes (one model per class)", QString());
  }
  // The positive class of 0 and 1 is 1: offered first.
  std::vector<std::string> ordered(classes.rbegin(), classes.rend());
  if (classes.size() >= 3) ordered = classes;
  for (const std::string& c : ordered) positiveBox_->addItem(fromUtf8(c), fromUtf8(c));
  const int kept = before.isEmpty() ? -1 : positiveBox_->findData(before);
  positiveBox_->setCurrentIndex(kept >= 0 ? kept : 0);
  updateOk();
}

void ImportDialog::fillCategories() {
  // A column listed before keeps its check; one listed anew gets its default.
  std::set<QString> listed;
  std::set<QString> checked;
  for (int i = 0; i < categoryList_->count(); ++i) {
    listed.insert(categoryList_->item(i)->text());
    if (categoryList_->item(i)->checkState() == Qt::Checked) {
      checked.insert(categoryList_->item(i)->text());
    }
  }
  categoryList_->clear();
  const int classColumn = classBox_->currentIndex();
  const int idColumn = idBox_->currentIndex() - 1;
  for (std::size_t c = 0; c < file_.columns.size(); ++c) {
    const int k = static_cast<int>(c);
    if (k == classColumn || k == idColumn) continue;
    auto* item = new QListWidgetItem(fromUtf8(file_.columns[c]), categoryList_);
    item->setData(Qt::UserRole, k);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool on = listed.count(item->text()) ? checked.count(item->text()) > 0
                                               : static_cast<bool>(defaultCategorical_[c]);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
}

bool ImportDialog::acceptable() const {
  return !file_.columns.empty() && positiveBox_->count() > 0 &&
         !(positiveBox_->currentIndex() == 0 &&
           positiveBox_->itemText(0) == "(choose the positive class)");
}

void ImportDialog::updateOk() {
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(acceptable());
}

std::string ImportDialog::columnSpec(int column) const {
  // A column by its name, which the file holds once; an unnamed one by its number from 1.
  const std::string& name = file_.columns[static_cast<std::size_t>(column)];
  return name.empty() ? std::to_string(column + 1) : name;
}

ReadingOptions ImportDialog::options() const {
  ReadingOptions options;
  options.separator = static_cast<char>(separatorBox_->currentData().toInt());
  if (file_.columns.empty()) return options;
  options.classColumn = columnSpec(classBox_->currentIndex());
  options.idColumn = idBox_->currentIndex() <= 0 ? std::string("none")
                                                 : columnSpec(idBox_->currentIndex() - 1);
  options.positive = toUtf8(positiveBox_->currentData().toString());
  options.missing = missingTexts();
  options.missingGiven = true;
  for (int i = 0; i < categoryList_->count(); ++i) {
    if (categoryList_->item(i)->checkState() == Qt::Checked) {
      options.categorical.push_back(columnSpec(categoryList_->item(i)->data(Qt::UserRole).toInt()));
    }
  }
  return options;
}
