// The Evaluation tab: how good a model is (figures, confusion matrix, ROC curve, score
// distribution), and the controls and results of cross-validation and tuning.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QWidget>
#include <optional>
#include <vector>

#include "CrossValidation.h"

class QChartView;

class EvaluationPage : public QWidget {
  Q_OBJECT

 public:
  // The tuning lists start as their defaults, written in `format`.
  EvaluationPage(QWidget* parent, const NumberFormat& format);

  // The figures of a set of scores, under a heading that says whose they are.
  void showMetrics(const QString& heading, const Metrics& metrics, const NumberFormat& format);
  // The fold table and the figures of every observation scored by the model that did not
  // learn it.
  void showCrossValidation(const CrossValidationResult& result, const NumberFormat& format);
  // The ranked sets in the table, and the best one's cross-validation figures.
  void showTuning(const std::vector<CrossValidationResult>& ranked, TuningCriterion criterion,
                  const NumberFormat& format);
  // The data box now holds another table: the figures say they are of the earlier one, and
  // the tuning results, found on it, are put away.
  void tableReplaced(const QString& fileName);
  // Says there is nothing to show, and why.
  void showNothing(const QString& why);

  // The tuning lists as typed, the box of each, and the criterion chosen.
  TuningListTexts listTexts() const;
  QLineEdit* listBox(ParameterField field) const;
  // The folds and seed in the boxes.
  ValidationOptions validationOptions() const;
  TuningCriterion criterion() const;
  // The parameter set of the selected row of the tuning table.
  std::optional<LearningParameters> selectedSet() const;
  // Cross-validate, Tune Parameters and Use These Parameters, which wait while a command runs.
  QList<QPushButton*> commandButtons() const;
  // Use These Parameters is offered while a tuned set is selected.
  void offerSelectedSet();

 signals:
  void crossValidateClicked();
  void tuneClicked();
  void useClicked();

 private:
  QSpinBox* foldsBox_;
  QSpinBox* seedBox_;
  QPushButton* crossValidateButton_;
  QLineEdit* positiveHomogeneityList_;
  QLineEdit* positivePrevalenceList_;
  QLineEdit* negativeHomogeneityList_;
  QLineEdit* negativePrevalenceList_;
  QComboBox* criterionBox_;
  QPushButton* tuneButton_;
  QPushButton* useButton_;  // Use These Parameters
  QPlainTextEdit* figuresText_;
  QChartView* rocView_;
  QChartView* distributionView_;
  QTableWidget* tuningTable_;

  void drawRoc(const Metrics& metrics, const NumberFormat& format);
  void drawDistribution(const Metrics& metrics);
  std::vector<LearningParameters> tunedSets_;
};
