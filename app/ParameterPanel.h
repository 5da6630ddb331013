// The panel under the data box: the six learning parameters, the four command buttons, the
// pattern counters and the model name, each at its place.
#pragma once

#include <QList>
#include <QWidget>

#include "BuildModel.h"
#include "Intake.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class ParameterPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ParameterPanel(QWidget* parent);

  // The six boxes as typed.
  ParameterTexts boxTexts() const;
  // Puts texts into the six boxes, as they were typed.
  void setBoxTexts(const ParameterTexts& texts);
  // Puts a parameter set into the boxes, the shares written in `format`.
  void showParameters(const LearningParameters& values, const NumberFormat& format);
  // The pattern selection (0: every pattern kept) and the cut points chosen beside the six
  // boxes.
  std::int32_t coverTarget() const;
  Discretization discretization() const;
  void setCoverTarget(std::int32_t cover);
  void setDiscretization(Discretization discretization);
  // The six boxes read as readParameters reads them, with the two choices.
  void takeChoices(LearningParameters& parameters) const;
  // The box of a parameter, to put the focus in when it is wrong.
  QWidget* box(ParameterField field) const;
  // The Positive and Negative Patterns Found counters.
  void showCounts(PatternCounts counts);

  // What the choices did in the last build (patterns the selection kept, attributes the cut
  // points left), under the name; empty hides it.
  void showBuildNote(const QString& note);
  QString buildNote() const;

  QString modelName() const;
  void setModelName(const QString& name);

  // Open Data, Build Model, Load Model and Apply Model, which wait while a command runs.
  QList<QPushButton*> commandButtons() const;
  // The panel's controls in the order the Tab key visits them.
  QList<QWidget*> focusOrder() const;

 signals:
  void openDataClicked();
  void buildModelClicked();
  void loadModelClicked();
  void applyModelClicked();

 private:
  QSpinBox* gridSizeBox_;
  QSpinBox* degreeBox_;
  QLineEdit* positiveHomogeneityBox_;
  QLineEdit* positivePrevalenceBox_;
  QLineEdit* negativeHomogeneityBox_;
  QLineEdit* negativePrevalenceBox_;
  QPushButton* openDataButton_;
  QPushButton* buildModelButton_;
  QPushButton* loadModelButton_;
  QPushButton* applyModelButton_;
  QSpinBox* selectionBox_;   // cover K, 0 keeps every pattern
  QComboBox* cutPointsBox_;  // equal frequency or class-aware
  QSpinBox* positivePatternsBox_;
  QSpinBox* negativePatternsBox_;
  QLineEdit* modelNameBox_;
  QLabel* buildNote_;
};
