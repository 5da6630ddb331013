#include "ParameterPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <climits>

#include "QtText.h"

ParameterPanel::ParameterPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("parameterPanel");
  setMinimumHeight(40);
  // Every control at its position; spin boxes, edit boxes and buttons share their sizes.
  auto label = [this](const char* text, int x, int y) {
    auto* l = new QLabel(text, this);
    l->move(x, y);
    l->adjustSize();
    return l;
  };
  auto spin = [this](const char* name, int value, int x, int y) {
    auto* box = new QSpinBox(this);
    box->setObjectName(name);
    box->setRange(INT_MIN, INT_MAX);  // no limits
    box->setValue(value);
    box->setGeometry(x, y, 81, 22);
    return box;
  };
  auto edit = [this](const char* name, const std::string& text, int x, int y) {
    auto* box = new QLineEdit(fromUtf8(text), this);
    box->setObjectName(name);
    box->setGeometry(x, y, 121, 21);
    return box;
  };
  auto button = [this](const char* name, const char* caption, int y) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);  // no button is the default button
    b->setGeometry(688, y, 75, 25);
    return b;
  };

  const ParameterTexts start;  // the start values of the window and the command line
  using F = ParameterField;
  label(parameterCaption(F::GridSize), 32, 8);
  gridSizeBox_ = spin("gridSizeBox", spinValue(start.gridSize), 32, 27);
  label(parameterCaption(F::Degree), 208, 8);
  degreeBox_ = spin("degreeBox", spinValue(start.degree), 208, 27);
  label(parameterCaption(F::PositiveHomogeneity), 32, 57);
  positiveHomogeneityBox_ = edit("positiveHomogeneityBox", start.positiveHomogeneity, 32, 76);
  label(parameterCaption(F::PositivePrevalence), 208, 57);
  positivePrevalenceBox_ = edit("positivePrevalenceBox", start.positivePrevalence, 208, 76);
  label(parameterCaption(F::NegativeHomogeneity), 376, 57);
  negativeHomogeneityBox_ = edit("negativeHomogeneityBox", start.negativeHomogeneity, 376, 76);
  label(parameterCaption(F::NegativePrevalence), 544, 57);
  negativePrevalenceBox_ = edit("negativePrevalenceBox", start.negativePrevalence, 544, 76);
  openDataButton_ = button("openDataButton", "Open Data", 8);
  buildModelButton_ = button("buildModelButton", "Build Model", 39);
  loadModelButton_ = button("loadModelButton", "Load Model", 70);
  applyModelButton_ = button("applyModelButton", "Apply Model", 101);
  label("Positive Patterns Found", 32, 103);
  positivePatternsBox_ = spin("positivePatternsBox", 2, 32, 118);
  label("Negative Patterns Found", 208, 103);
  negativePatternsBox_ = spin("negativePatternsBox", 2, 208, 118);
  // The two choices of the method sit in the counters' row, under the negative thresholds, so
  // that the six boxes keep their places.
  label("Pattern Selection", 376, 103);
  selectionBox_ = new QSpinBox(this);
  selectionBox_->setObjectName("selectionBox");
  selectionBox_->setRange(0, 99);
  selectionBox_->setSpecialValueText("keep all");
  selectionBox_->setPrefix("cover ");
  selectionBox_->setGeometry(376, 118, 121, 22);
  label("Cut Points", 544, 103);
  cutPointsBox_ = new QComboBox(this);
  cutPointsBox_->setObjectName("cutPointsBox");
  cutPointsBox_->addItems({"equal frequency", "class-aware"});
  cutPointsBox_->setGeometry(544, 118, 121, 22);
  label("Name", 776, 45);
  modelNameBox_ = edit("modelNameBox", kDefaultModelName, 809, 42);
  buildNote_ = new QLabel(this);
  buildNote_->setObjectName("buildNote");
  buildNote_->setWordWrap(true);
  buildNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  buildNote_->setGeometry(776, 72, 230, 70);

  // What each parameter does, in a sentence, where the pointer rests on its box.
  gridSizeBox_->setToolTip(
      "Grid Size: the most intervals each attribute is cut into; more intervals give finer but "
      "more numerous patterns.");
  degreeBox_->setToolTip(
      "Degree: the most attributes a pattern may test at once; each step up multiplies the "
      "search time.");
  positiveHomogeneityBox_->setToolTip(
      "Positive Homogeneity: a positive pattern keeps class 1 above this share of the "
      "observations it covers (0 to 1; higher is stricter).");
  positivePrevalenceBox_->setToolTip(
      "Positive Prevalence: a positive pattern covers more than this share of all class 1 "
      "observations (0 to 1).");
  negativeHomogeneityBox_->setToolTip(
      "Negative Homogeneity: a negative pattern keeps class 1 below this share of the "
      "observations it covers (0 to 1; lower is stricter).");
  negativePrevalenceBox_->setToolTip(
      "Negative Prevalence: a negative pattern covers more than this share of all class 0 "
      "observations (0 to 1).");
  selectionBox_->setToolTip(
      "Pattern Selection: keep all patterns, or only enough that every training observation "
      "stays covered K times (cover K); a smaller model that is easier to read.");
  cutPointsBox_->setToolTip(
      "Cut Points: equal-frequency bins, or class-aware cut points placed where the class "
      "changes; an attribute without one drops out of the search.");
  // The counters say what the last build or model holds; they are not typed into.
  for (QSpinBox* counter : {positivePatternsBox_, negativePatternsBox_}) {
    counter->setReadOnly(true);
    counter->setButtonSymbols(QAbstractSpinBox::NoButtons);
    counter->setFocusPolicy(Qt::ClickFocus);  // selectable to copy, skipped by Tab
  }
  positivePatternsBox_->setToolTip("The positive patterns of the model last built or loaded.");
  negativePatternsBox_->setToolTip("The negative patterns of the model last built or loaded.");
  modelNameBox_->setToolTip(
      "Name: the model's files are NAME.MOD, NAME.PAT, NAME.DES and NAME.GRD in the current "
      "folder, unless the name holds a folder.");

  connect(openDataButton_, &QPushButton::clicked, this, &ParameterPanel::openDataClicked);
  connect(buildModelButton_, &QPushButton::clicked, this, &ParameterPanel::buildModelClicked);
  connect(loadModelButton_, &QPushButton::clicked, this, &ParameterPanel::loadModelClicked);
  connect(applyModelButton_, &QPushButton::clicked, this, &ParameterPanel::applyModelClicked);
}

ParameterTexts ParameterPanel::boxTexts() const {
  return {toUtf8(gridSizeBox_->cleanText()),       toUtf8(degreeBox_->cleanText()),
          toUtf8(positiveHomogeneityBox_->text()), toUtf8(positivePrevalenceBox_->text()),
          toUtf8(negativeHomogeneityBox_->text()), toUtf8(negativePrevalenceBox_->text())};
}

void ParameterPanel::setBoxTexts(const ParameterTexts& texts) {
  gridSizeBox_->setValue(spinValue(texts.gridSize));
  degreeBox_->setValue(spinValue(texts.degree));
  positiveHomogeneityBox_->setText(fromUtf8(texts.positiveHomogeneity));
  positivePrevalenceBox_->setText(fromUtf8(texts.positivePrevalence));
  negativeHomogeneityBox_->setText(fromUtf8(texts.negativeHomogeneity));
  negativePrevalenceBox_->setText(fromUtf8(texts.negativePrevalence));
}

void ParameterPanel::showParameters(const LearningParameters& values, const NumberFormat& format) {
  const ParameterTexts texts = parameterTexts(values, format);
  gridSizeBox_->setValue(values.gridSize);
  degreeBox_->setValue(values.degree);
  positiveHomogeneityBox_->setText(fromUtf8(texts.positiveHomogeneity));
  positivePrevalenceBox_->setText(fromUtf8(texts.positivePrevalence));
  negativeHomogeneityBox_->setText(fromUtf8(texts.negativeHomogeneity));
  negativePrevalenceBox_->setText(fromUtf8(texts.negativePrevalence));
  setCoverTarget(values.coverTarget);
  setDiscretization(values.discretization);
}

std::int32_t ParameterPanel::coverTarget() const {
  return selectionBox_->value();
}

Discretization ParameterPanel::discretization() const {
  return cutPointsBox_->currentIndex() == 1 ? Discretization::ClassAware
                                            : Discretization::EqualFrequency;
}

void ParameterPanel::setCoverTarget(std::int32_t cover) {
  selectionBox_->setValue(cover);
}

void ParameterPanel::setDiscretization(Discretization discretization) {
  cutPointsBox_->setCurrentIndex(discretization == Discretization::ClassAware ? 1 : 0);
}

void ParameterPanel::takeChoices(LearningParameters& parameters) const {
  parameters.coverTarget = coverTarget();
  parameters.discretization = discretization();
}

QWidget* ParameterPanel::box(ParameterField field) const {
  switch (field) {
    case ParameterField::GridSize:
      return gridSizeBox_;
    case ParameterField::Degree:
      return degreeBox_;
    case ParameterField::PositiveHomogeneity:
      return positiveHomogeneityBox_;
    case ParameterField::PositivePrevalence:
      return positivePrevalenceBox_;
    case ParameterField::NegativeHomogeneity:
      return negativeHomogeneityBox_;
    case ParameterField::NegativePrevalence:
      break;
  }
  return negativePrevalenceBox_;
}

void ParameterPanel::showCounts(PatternCounts counts) {
  positivePatternsBox_->setValue(counts.positive);
  negativePatternsBox_->setValue(counts.negative);
}

void ParameterPanel::showBuildNote(const QString& note) {
  buildNote_->setText(note);
}

QString ParameterPanel::buildNote() const {
  return buildNote_->text();
}

QString ParameterPanel::modelName() const {
  return modelNameBox_->text();
}

void ParameterPanel::setModelName(const QString& name) {
  modelNameBox_->setText(name);
}

QList<QPushButton*> ParameterPanel::commandButtons() const {
  return {openDataButton_, buildModelButton_, loadModelButton_, applyModelButton_};
}

QList<QWidget*> ParameterPanel::focusOrder() const {
  return {gridSizeBox_,
          degreeBox_,
          positiveHomogeneityBox_,
          positivePrevalenceBox_,
          negativeHomogeneityBox_,
          negativePrevalenceBox_,
          openDataButton_,
          buildModelButton_,
          loadModelButton_,
          applyModelButton_,
          selectionBox_,
          cutPointsBox_,
          positivePatternsBox_,
          negativePatternsBox_,
          modelNameBox_};
}
