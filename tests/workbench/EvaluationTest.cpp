// The figures of a model's scores against hand-computed tables and a brute-force AUC.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "Evaluation.h"

namespace {

std::vector<ScoredObservation> observations(std::initializer_list<std::pair<int, double>> pairs) {
  std::vector<ScoredObservation> result;
  for (const auto& [cls, score] : pairs) result.push_back({cls, score});
  return result;
}

// The share of positive-negative pairs ranked correctly, a tie counting one half.
double pairCountAuc(const std::vector<ScoredObservation>& all) {
  double good = 0;
  double pairs = 0;
  for (const ScoredObservation& p : all) {
    if (p.cls != 1) continue;
    for (const ScoredObservation& n : all) {
      if (n.cls != 0) continue;
      pairs += 1;
      good += p.score > n.score ? 1.0 : (p.score == n.score ? 0.5 : 0.0);
    }
  }
  return pairs > 0 ? good / pairs : std::nan("");
}

void expectFigure(double expected, double actual, const std::string& what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual;
  } else {
    EXPECT_NEAR(expected, actual, 1e-12) << what;
  }
}

}  // namespace

TEST(Evaluation, FiguresOfHandComputedTables) {
  const double nan = std::nan("");
  struct Case {
    const char* what;
    std::vector<ScoredObservation> rows;
    ConfusionMatrix confusion;  // tp fn up fp tn un
    std::int64_t others;
    double accuracy, decided, sensitivity, specificity, balanced, auc;
  };
  const Case cases[] = {
      {"all right",
       observations({{1, 0.5}, {1, 0.2}, {0, -0.1}, {0, -1}}),
       {2, 0, 0, 0, 2, 0},
       0,
       1,
       1,
       1,
       1,
       1,
       1},
      // 3 positives (one undecided, one wrong), 2 negatives (one wrong); a class 2 and a
      // class-less row are left out.
      {"undecided and others",
       observations({{1, 0.5}, {1, 0}, {1, -0.25}, {0, 0.25}, {0, -0.5}, {2, 0.9}, {-1, 0.1}}),
       {1, 1, 1, 1, 1, 0},
       2,
       2.0 / 5,
       2.0 / 4,
       1.0 / 3,
       1.0 / 2,
       (1.0 / 3 + 0.5) / 2,
       // pairs: 0.5 beats both; 0 beats -0.5, loses to 0.25; -0.25 beats -0.5 only
       4.0 / 6},
      {"only positives",
       observations({{1, 0.5}, {1, -0.5}}),
       {1, 1, 0, 0, 0, 0},
       0,
       0.5,
       0.5,
       0.5,
       nan,
       nan,
       nan},
      {"every score tied",
       observations({{1, 0}, {0, 0}, {0, 0}}),
       {0, 0, 1, 0, 0, 2},
       0,
       0,
       nan,
       0,
       0,
       0,
       0.5},
      {"nothing to judge", observations({{3, 1}}), {}, 1, nan, nan, nan, nan, nan, nan},
  };
  for (const Case& c : cases) {
    const Metrics m = evaluateScores(c.rows);
    const ConfusionMatrix& x = m.confusion;
    EXPECT_EQ(x.truePositive, c.confusion.truePositive) << c.what;
    EXPECT_EQ(x.falseNegative, c.confusion.falseNegative) << c.what;
    EXPECT_EQ(x.undecidedPositive, c.confusion.undecidedPositive) << c.what;
    EXPECT_EQ(x.falsePositive, c.confusion.falsePositive) << c.what;
    EXPECT_EQ(x.trueNegative, c.confusion.trueNegative) << c.what;
    EXPECT_EQ(x.undecidedNegative, c.confusion.undecidedNegative) << c.what;
    EXPECT_EQ(m.others, c.others) << c.what;
    expectFigure(c.accuracy, m.accuracy, std::string(c.what) + " accuracy");
    expectFigure(c.decided, m.decidedAccuracy, std::string(c.what) + " decided accuracy");
    expectFigure(c.sensitivity, m.sensitivity, std::string(c.what) + " sensitivity");
    expectFigure(c.specificity, m.specificity, std::string(c.what) + " specificity");
    expectFigure(c.balanced, m.balancedAccuracy, std::string(c.what) + " balanced accuracy");
    expectFigure(c.auc, m.auc, std::string(c.what) + " AUC");
  }
}

TEST(Evaluation, AucIsThePairCountAndTheRocHasOnePointPerDistinctScore) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<ScoredObservation> rows;
    const int n = 1 + static_cast<int>(random() % 30);
    const int levels = 1 + static_cast<int>(random() % 6);  // few levels: many ties
    for (int i = 0; i < n; ++i) {
      // Mostly both classes and some other class; every tenth table one class only.
      int cls = static_cast<int>(random() % 5) % 3;  // 0, 1 or 2
      if (trial % 10 == 0) cls = 1;
      if (trial % 10 == 1) cls = 0;
      rows.push_back({cls, static_cast<double>(random() % levels) / levels - 0.5});
    }
    const Metrics m = evaluateScores(rows);
    expectFigure(pairCountAuc(rows), m.auc, "trial " + std::to_string(trial));
    std::vector<double> distinct;
    for (const auto& r : rows) {
      if (r.cls == 0 || r.cls == 1) distinct.push_back(r.score);
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    ASSERT_EQ(m.roc.size(), distinct.size() + 1);
    EXPECT_EQ(m.roc.front().truePositiveRate, 0);
    for (std::size_t i = 1; i < m.roc.size(); ++i) {
      EXPECT_EQ(m.roc[i].threshold, distinct[distinct.size() - i]);
      if (m.negatives > 0) {
        EXPECT_GE(m.roc[i].falsePositiveRate, m.roc[i - 1].falsePositiveRate);
      }
    }
    if (m.positives > 0 && m.negatives > 0) {
      EXPECT_EQ(m.roc.back().truePositiveRate, 1);
      EXPECT_EQ(m.roc.back().falsePositiveRate, 1);
    }
  }
}

TEST(Evaluation, ScoreHistogramPutsEveryScoreInOneBin) {
  const Metrics m =
      evaluateScores(observations({{1, 1}, {1, 0.95}, {1, 0}, {0, -1}, {0, -0.05}, {2, 0.5}}), 4);
  EXPECT_EQ(m.histogram.edges, (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
  EXPECT_EQ(m.histogram.positive, (std::vector<std::int64_t>{0, 0, 1, 2}));
  EXPECT_EQ(m.histogram.negative, (std::vector<std::int64_t>{1, 1, 0, 0}));
}

TEST(Evaluation, ClassFieldsAndFigureTexts) {
  const NumberFormat comma{","};
  EXPECT_EQ(evaluationClass("1", {}), 1);
  EXPECT_EQ(evaluationClass(" 0 ", {}), 0);
  EXPECT_EQ(evaluationClass("1.0", {}), 1);
  EXPECT_EQ(evaluationClass("1,0", comma), 1);
  EXPECT_EQ(evaluationClass("2", {}), kOtherClass);
  EXPECT_EQ(evaluationClass("yes", {}), kOtherClass);
  EXPECT_EQ(evaluationClass("", {}), kOtherClass);
  EXPECT_EQ(metricText(0.94736, {}), "0.9474");
  EXPECT_EQ(metricText(0.5, comma), "0,5000");
  EXPECT_EQ(metricText(std::nan(""), {}), "n/a");
}

// Undecided rows counted as a class: 2 positives (one undecided) and 3 negatives (one undecided).
TEST(Evaluation, UndecidedRuleCountsScoreZeroAsAClass) {
  const std::vector<ScoredObservation> scored = {{1, 0.5}, {1, 0.0}, {0, -0.5}, {0, 0.0}, {0, 0.25}};
  Metrics asPositive = evaluateScores(scored);
  const double auc = asPositive.auc;
  decideUndecided(asPositive, 1);
  EXPECT_EQ(asPositive.decidedByRule, 2);
  EXPECT_EQ(asPositive.undecided, 0);
  EXPECT_EQ(asPositive.confusion.truePositive, 2);
  EXPECT_EQ(asPositive.confusion.falsePositive, 2);
  EXPECT_DOUBLE_EQ(asPositive.accuracy, 3.0 / 5);
  EXPECT_DOUBLE_EQ(asPositive.balancedAccuracy, (1.0 + 1.0 / 3) / 2);
  EXPECT_EQ(asPositive.auc, auc);  // the ranking of the scores stays

  Metrics asNegative = evaluateScores(scored);
  decideUndecided(asNegative, 0);
  EXPECT_EQ(asNegative.confusion.falseNegative, 1);
  EXPECT_EQ(asNegative.confusion.trueNegative, 2);
  EXPECT_DOUBLE_EQ(asNegative.accuracy, 3.0 / 5);
  EXPECT_EQ(metricsReport(asNegative, NumberFormat{})[1],
            "Accuracy: 0.6000 (undecided count as class 0: 2 decided so)");
}
