// Cross-validation and parameter tuning: models built in memory on part of a table and
// judged on the rest. No model file is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BuildControl.h"
#include "ClassModels.h"
#include "Evaluation.h"
#include "Intake.h"
#include "TableReading.h"

// The fold (0..folds-1) of every observation: each class is shuffled with the seed and dealt
// round the folds, so that every fold holds about the same share of each class. The same
// classes, fold count and seed always give the same folds, on any machine. Class 1 is dealt
// first, then class 0, then the observations of neither.
std::vector<std::int32_t> stratifiedFolds(const arrint& classes, std::int32_t folds,
                                          std::uint64_t seed);
// The same dealing for a table of several classes: `classIndex` holds each observation's class
// (0..classCount-1, dealt in that order) or -1 for one without a class, dealt last.
std::vector<std::int32_t> foldsByClass(const std::vector<std::int32_t>& classIndex,
                                       std::int32_t classCount, std::int32_t folds,
                                       std::uint64_t seed);

struct ValidationOptions {
  std::int32_t folds = 10;
  std::uint64_t seed = 1;
  // The undecided rule (decideUndecided) for every fold and the pooled figures; kOtherClass
  // counts undecided observations as wrong.
  std::int32_t undecidedAs = kOtherClass;
  // Threads (0: every core), cancel flag and progress, counted in builds done of all.
  BuildControl control;
  // How the table is read (TableReading.h), and what names it in messages.
  ReadingOptions reading;
  std::string source = "The data table";
};

// A table is read as Build Model reads it. A two-class table (or one class named positive
// against the rest) is judged by one model per fold and its scores. A table of three or more
// classes without a positive class is judged as Build Model and Apply Model treat it: per fold
// one model per class against the rest, each held-out observation forecast the class whose
// model scores highest (forecastClass), and the figures of evaluateClassForecasts. No
// observation is then undecided, so the undecided rule does not apply.

struct FoldResult {
  Metrics metrics;  // on the held-out observations; empty for a table of several classes
  // Of every model of the fold together.
  std::int32_t positivePatterns = 0;
  std::int32_t negativePatterns = 0;
  double buildSeconds = 0;
  ClassMetrics classMetrics;  // of a table of several classes, on the held-out observations
};

struct MeanAndDeviation {
  double mean = 0;
  double deviation = 0;  // the sample standard deviation; 0 for one value
};

// Mean and deviation over the folds; a fold whose figure is NaN (the AUC of a fold that
// holds one class) is left out of that figure. For a table of several classes, the AUC of a
// fold is the mean of its classes' AUCs against the rest (those it can have), the undecided
// share is NaN and the macro F1 is the classes' mean F1; the macro F1 is NaN for two classes.
struct FoldSummary {
  MeanAndDeviation accuracy, balancedAccuracy, auc, undecidedShare, positivePatterns,
      negativePatterns, buildSeconds, macroF1;
};

struct CrossValidationResult {
  LearningParameters parameters;
  std::vector<FoldResult> folds;
  FoldSummary summary;
  Metrics pooled;  // every observation scored by the model that did not learn it
  // Of a table of several classes: every observation forecast by the models that did not learn
  // it (pooled is then empty).
  ClassMetrics pooledClasses;
  bool multiClass() const { return !pooledClasses.classes.empty(); }
  // The builds of a fold: one per class of a table of several classes, else one.
  std::size_t modelsPerFold() const { return multiClass() ? pooledClasses.classes.size() : 1; }
};

// Reads the table as Build Model does, then builds one model per fold (one per class and fold
// for a table of several classes).
CrossValidationResult crossValidate(const LearningParameters& parameters,
                                    const std::string& tableText, const ValidationOptions& options,
                                    const NumberFormat& format);

// The values tried for each threshold; a tuning run tries every combination.
struct TuningGrid {
  std::vector<double> positiveHomogeneity{0.95, 0.9, 0.8};
  std::vector<double> positivePrevalence{0.05, 0.1};
  std::vector<double> negativeHomogeneity{0.05, 0.1, 0.2};
  std::vector<double> negativePrevalence{0.05, 0.1};
  // The degrees, cut points and selections tried; an empty list tries only the base
  // parameters' own.
  std::vector<std::int32_t> degrees;
  std::vector<Discretization> discretizations;
  std::vector<std::int32_t> coverTargets;
};

// A list of shares as the user types it: values separated by ";" or spaces, and by "," too
// when the decimal separator is not ",". Each must lie between 0 and 1; a failure names the
// field's caption.
std::vector<double> readShareList(ParameterField field, const std::string& text,
                                  const NumberFormat& format);
// The four lists as typed, in the order of the parameter boxes.
struct TuningListTexts {
  std::string positiveHomogeneity, positivePrevalence, negativeHomogeneity, negativePrevalence;
};
// Reads every list with readShareList; the first bad one raises.
// The words of a list: separated by ";", "," or spaces (tabs too).
std::vector<std::string> listWords(const std::string& text);

TuningGrid readTuningGrid(const TuningListTexts& texts, const NumberFormat& format);
// The grid's lists as readTuningGrid reads them back.
TuningListTexts tuningListTexts(const TuningGrid& grid, const NumberFormat& format);

// The window's extra tuning lists, as typed: degrees ("2; 3", whole numbers of at least 1) and
// selections ("none; cover:1; cover:3", or the counts alone: "0 1 3", 0 keeping every
// pattern), separated by ";", "," or spaces. An empty text gives an empty list (tuning keeps
// the base parameters' own); a word that is not one raises LadError naming the list, the word
// and what is accepted.
std::vector<std::int32_t> readDegreeList(const std::string& text);
std::vector<std::int32_t> readSelectionList(const std::string& text);

// The list as readShareList reads it back, separated by ";" and a space.
std::string shareListText(const std::vector<double>& values, const NumberFormat& format);

enum class TuningCriterion { BalancedAccuracy, Accuracy, Auc };
// "balanced-accuracy", "accuracy", "auc".
const char* criterionName(TuningCriterion criterion);

// The parameter texts with the first value of each of the grid's lists for its thresholds, for
// a front end to check the grid size and degree that tuning takes from its boxes.
ParameterTexts firstTuningSet(const ParameterTexts& parameters, const TuningGrid& grid,
                              const NumberFormat& format);

// Every parameter set of the grid (at the grid size and degree of `parameters`, whose shares
// tuning does not read),
// cross-validated with the same folds, best first by the criterion's mean, ties by the mean
// AUC, then by fewer patterns (of all the models of a fold), then in grid order. For a table of
// several classes the criteria are its accuracy, balanced accuracy and mean AUC against the
// rest (FoldSummary). The builds of every set and fold run in
// parallel. A value repeated in a list is tried once. A run that could not fit in memory or
// would take hours is refused before any build, with its figures.
std::vector<CrossValidationResult> tuneParameters(
    const LearningParameters& parameters, const TuningGrid& grid, const std::string& tableText,
    const ValidationOptions& options, TuningCriterion criterion, const NumberFormat& format);

// What a cross-validation or tuning run will take at most, judged before it starts as the
// refusal of runs that would take days judges it: its builds, and the seconds their search
// takes if the search judged every box it could (pruning skips many, so the run is often
// quicker), on the threads the options give. A table of several classes takes a build per
// class and fold.
struct ValidationCost {
  std::int64_t builds = 0;
  double seconds = 0;
  int threads = 1;
};
ValidationCost crossValidationCost(const LearningParameters& parameters,
                                   const std::string& tableText, const ValidationOptions& options,
                                   const NumberFormat& format);
// For tuning, the parameter sets of the grid (each value once) times the folds, at the highest
// degree of the grid.
ValidationCost tuningCost(const LearningParameters& parameters, const TuningGrid& grid,
                          const std::string& tableText, const ValidationOptions& options,
                          const NumberFormat& format);
// "360 builds, up to about 10 minutes on 2 threads".
std::string validationCostText(const ValidationCost& cost);

// Why the sets of a tuning run (ranked as tuneParameters ranks them) could not be ranked: a
// sentence when the criterion's mean is n/a for every set, else "".
std::string whyUnranked(const std::vector<CrossValidationResult>& ranked,
                        TuningCriterion criterion);
