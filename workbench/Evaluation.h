// How good a model's scores are: accuracy, the confusion matrix, ROC and AUC, the score
// distribution of each class. Computed from (class, score) pairs alone, so that a stored
// model, a cross-validation fold and a test table are judged the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NumberText.h"

// The class of an observation as evaluation counts it: 1, 0, or neither (any other class,
// a class that is not a number included).
constexpr std::int32_t kOtherClass = -1;
std::int32_t evaluationClass(const std::string& classField, const NumberFormat& format);

struct ScoredObservation {
  std::int32_t cls = kOtherClass;  // 1, 0 or kOtherClass
  double score = 0;
};

// Rows: the true class; columns: the forecast. A score above 0 forecasts 1, below 0
// forecasts 0, and exactly 0 leaves the observation undecided.
struct ConfusionMatrix {
  std::int64_t truePositive = 0;       // class 1, score > 0
  std::int64_t falseNegative = 0;      // class 1, score < 0
  std::int64_t undecidedPositive = 0;  // class 1, score = 0
  std::int64_t falsePositive = 0;      // class 0, score > 0
  std::int64_t trueNegative = 0;       // class 0, score < 0
  std::int64_t undecidedNegative = 0;  // class 0, score = 0
};

// One point of the ROC curve: forecasting 1 for every score at or above `threshold` gives
// these rates. The curve starts at (0, 0) with an infinite threshold.
struct RocPoint {
  double threshold = 0;
  double falsePositiveRate = 0;
  double truePositiveRate = 0;
};

// Counts of each class's scores in equal bins over [-1, 1], where every score lies; a score
// of exactly 1 falls in the last bin, and one outside [-1, 1] in the nearest end bin.
struct ScoreHistogram {
  std::vector<double> edges;  // bins + 1 edges, from -1 to 1
  std::vector<std::int64_t> positive;
  std::vector<std::int64_t> negative;
};

// Figures that cannot be computed (the sensitivity of a table without positives, say) are
// NaN; front ends show them as "n/a".
struct Metrics {
  std::int64_t positives = 0;  // observations of class 1
  std::int64_t negatives = 0;  // of class 0
  std::int64_t others = 0;     // of any other class, left out of every figure below
  ConfusionMatrix confusion;
  std::int64_t undecided = 0;
  double accuracy = 0;          // correct / (positives + negatives); undecided count as wrong
  double decidedAccuracy = 0;   // correct / decided
  double sensitivity = 0;       // true positives / positives
  double specificity = 0;       // true negatives / negatives
  double balancedAccuracy = 0;  // the mean of sensitivity and specificity
  double auc = 0;               // area under the ROC curve
  double undecidedShare = 0;    // undecided / (positives + negatives)
  std::vector<RocPoint> roc;
  ScoreHistogram histogram;
  // With the undecided rule: the class that undecided observations were counted as, and how
  // many they were; kOtherClass and 0 without it.
  std::int32_t undecidedAs = kOtherClass;
  std::int64_t decidedByRule = 0;
};

constexpr int kHistogramBins = 20;

// All figures at once. The ROC curve has one point per distinct score (tied scores taken
// together), and its area equals the share of positive-negative pairs that the scores rank
// correctly, a tie counting one half.
Metrics evaluateScores(const std::vector<ScoredObservation>& observations,
                       int histogramBins = kHistogramBins);

// The undecided rule: counts every undecided observation as a forecast of `cls` (1 or 0) and
// computes the figures again. The ROC curve and its area, which rank the scores, stay.
void decideUndecided(Metrics& metrics, std::int32_t cls);

// A figure as text: 4 decimals with the format's separator, or "n/a" when it is NaN.
std::string metricText(double value, const NumberFormat& format);

// The counts, the figures, the confusion matrix and the score distribution as the lines
// `lad evaluate` prints.
std::vector<std::string> metricsReport(const Metrics& metrics, const NumberFormat& format);
