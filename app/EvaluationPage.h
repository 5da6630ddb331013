// The Evaluation tab: how good a model is (figures, confusion matrix, ROC curve, score
// distribution), and the controls and results of cross-validation and tuning.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>
#include <optional>
#include <vector>

#include "CrossValidation.h"
#include "ScoredRows.h"
#include "UndecidedRule.h"

class QChartView;
class QCheckBox;
class QTableView;
class RowsTableModel;
class RunHistoryView;
class WrongOnlyFilter;

class EvaluationPage : public QWidget {
  Q_OBJECT

 public:
  // The tuning lists start as their defaults, written in `format`.
  EvaluationPage(QWidget* parent, const NumberFormat& format);

  // The figures of a set of scores, under a heading that says whose they are.
  void showMetrics(const QString& heading, const Metrics& metrics, const NumberFormat& format);
  // The rows Apply Model scored, judged by the undecided rule chosen (its larger class that of
  // `training`, when known), with the model's size under the figures, and listed in the rows
  // table. Returns the figures shown. The choice of another rule judges them again.
  Metrics showTestSet(const QString& heading, std::vector<ScoredRow> rows,
                      std::optional<ClassCounts> training, const QString& modelSize,
                      const NumberFormat& format);
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

  // What undecided rows count as, and the class that makes of it with the training table's
  // classes (kOtherClass: wrong).
  UndecidedRule undecidedRule() const;
  void setUndecidedRule(UndecidedRule rule);
  std::int32_t undecidedClassFor(const std::optional<ClassCounts>& training) const;
  // The run history.
  RunHistoryView* history() const { return historyView_; }

  // The tuning lists as typed, the box of each, and the criterion chosen.
  TuningListTexts listTexts() const;
  QLineEdit* listBox(ParameterField field) const;
  // What tuning also ranges over: the degrees and selections typed (empty: the panel's own)
  // and whether both kinds of cut points are tried.
  QLineEdit* degreeList() const { return degreeList_; }
  QLineEdit* selectionList() const { return selectionList_; }
  bool bothCutPoints() const;
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
  // A row of the rows table was double-clicked: its place in the table Apply Model scored.
  void rowChosen(std::size_t row);

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
  QComboBox* undecidedBox_;
  QLineEdit* degreeList_;
  QLineEdit* selectionList_;
  QCheckBox* bothCutPointsBox_;
  QTabWidget* resultTabs_;  // Rows, History, Tuning
  QCheckBox* wrongOnlyBox_;
  QTableView* rowsView_;
  RowsTableModel* rowsModel_;
  WrongOnlyFilter* rowsFilter_;
  RunHistoryView* historyView_;

  // The test set shown, judged again when the undecided rule changes.
  struct TestSet {
    QString heading;
    std::vector<ScoredObservation> scored;
    std::optional<ClassCounts> training;
    QString modelSize;
    NumberFormat format;
  };
  std::optional<TestSet> testSet_;
  Metrics judgeTestSet();

  // `whose` says what the chart shows: "Test set" or "Cross-validation".
  void drawRoc(const QString& whose, const Metrics& metrics, const NumberFormat& format);
  void drawDistribution(const QString& whose, const Metrics& metrics);
  // The ROC curve and score distribution of a cross-validation's pooled scores; a table of
  // several classes has neither (its figures say each class's AUC), so the charts are cleared.
  void drawCrossValidation(const CrossValidationResult& result, const NumberFormat& format);
  std::vector<LearningParameters> tunedSets_;
};
