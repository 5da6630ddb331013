// Cross-validation builds the models Build Model would build on the same rows (one per class of
// a table of three or more), gives the same figures at any thread count, and tuning ranks its
// parameter sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <tuple>

#include "ApplyModel.h"
#include "ClassModels.h"
#include "CrossValidation.h"
#include "GeneratedTable.h"
#include "LadError.h"
#include "TableIntake.h"
#include "TableText.h"
#include "TempDir.h"

namespace {

const LearningParameters kStrict{6, 2, 0.8, 0.05, 0.2, 0.05};

arrint classesOf(const std::string& table) {
  return intake(kStrict, table, {}).classes();
}

// Equal figures, NaN equal to NaN; build times differ from run to run and are left out.
void expectSameFigures(const CrossValidationResult& x, const CrossValidationResult& y) {
  const auto same = [](double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
  ASSERT_EQ(x.folds.size(), y.folds.size());
  for (std::size_t f = 0; f < x.folds.size(); ++f) {
    EXPECT_TRUE(same(x.folds[f].metrics.accuracy, y.folds[f].metrics.accuracy)) << f;
    EXPECT_TRUE(same(x.folds[f].metrics.auc, y.folds[f].metrics.auc)) << f;
    EXPECT_EQ(x.folds[f].positivePatterns, y.folds[f].positivePatterns) << f;
    EXPECT_EQ(x.folds[f].negativePatterns, y.folds[f].negativePatterns) << f;
  }
  EXPECT_TRUE(same(x.summary.balancedAccuracy.mean, y.summary.balancedAccuracy.mean));
  EXPECT_TRUE(same(x.summary.balancedAccuracy.deviation, y.summary.balancedAccuracy.deviation));
  EXPECT_TRUE(same(x.pooled.auc, y.pooled.auc));
  EXPECT_EQ(x.parameters.positiveHomogeneity, y.parameters.positiveHomogeneity);
  EXPECT_EQ(x.parameters.negativePrevalence, y.parameters.negativePrevalence);
}

class CrossValidation : public TempDirTest {};

}  // namespace

TEST(StratifiedFolds, DealsEveryClassEvenlyAndDependsOnlyOnTheSeed) {
  const std::string table = generatedTable(103, 3, 4);
  const arrint classes = classesOf(table);
  for (const std::int32_t k : {2, 5, 10}) {
    const auto folds = stratifiedFolds(classes, k, 1);
    EXPECT_EQ(folds, stratifiedFolds(classes, k, 1));
    EXPECT_NE(folds, stratifiedFolds(classes, k, 2));
    std::vector<int> positives(static_cast<std::size_t>(k)), all(static_cast<std::size_t>(k));
    for (std::size_t r = 0; r < classes.size(); ++r) {
      ASSERT_GE(folds[r], 0);
      ASSERT_LT(folds[r], k);
      positives[static_cast<std::size_t>(folds[r])] += classes[r] == 1;
      all[static_cast<std::size_t>(folds[r])] += 1;
    }
    const auto spread = [](const std::vector<int>& v) {
      return *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end());
    };
    EXPECT_LE(spread(positives), 1) << k;
    EXPECT_LE(spread(all), 1) << k;
  }
}

TEST_F(CrossValidation, EachFoldIsTheModelBuildModelWritesForItsTrainingRows) {
  const std::string table = generatedTable(60, 5, 3);
  ValidationOptions options;
  options.folds = 4;
  options.seed = 9;
  const CrossValidationResult result = crossValidate(kStrict, table, options, {});
  const auto folds = stratifiedFolds(classesOf(table), 4, 9);
  const std::vector<std::string> lines = tableLines(table);
  for (std::int32_t f = 0; f < 4; ++f) {
    std::string training = lines[0] + "\n";
    std::string heldOut = lines[0] + "\n";
    for (std::size_t r = 0; r + 1 < lines.size(); ++r) {
      (folds[r] == f ? heldOut : training) += lines[r + 1] + "\n";
    }
    const PatternCounts counts = runBuildModel(kStrict, training, path("F"), nullptr);
    const Metrics expected = evaluateStoredModel(path("F"), heldOut, {}, {});
    const FoldResult& fold = result.folds[static_cast<std::size_t>(f)];
    EXPECT_EQ(fold.positivePatterns, counts.positive) << f;
    EXPECT_EQ(fold.negativePatterns, counts.negative) << f;
    EXPECT_EQ(fold.metrics.accuracy, expected.accuracy) << f;
    EXPECT_EQ(fold.metrics.auc, expected.auc) << f;
    EXPECT_EQ(fold.metrics.undecided, expected.undecided) << f;
    EXPECT_GT(counts.positive, 0);
  }
  EXPECT_EQ(result.pooled.positives + result.pooled.negatives, 60);
}

TEST_F(CrossValidation, SameFiguresAtEveryThreadCountAndRankedByTheCriterion) {
  const std::string table = generatedTable(120, 6, 11);
  TuningGrid grid;
  grid.positiveHomogeneity = {0.9, 0.7};
  grid.positivePrevalence = {0.05};
  grid.negativeHomogeneity = {0.1, 0.3};
  grid.negativePrevalence = {0.05, 0.2};
  std::vector<std::vector<CrossValidationResult>> runs;
  for (const int threads : {1, 2, 3}) {
    ValidationOptions options;
    options.folds = 5;
    options.control.threads = threads;
    runs.push_back(tuneParameters(kStrict, grid, table, options, TuningCriterion::Auc, {}));
  }
  ASSERT_EQ(runs[0].size(), 8u);
  for (std::size_t t = 1; t < runs.size(); ++t) {
    for (std::size_t i = 0; i < runs[0].size(); ++i) expectSameFigures(runs[0][i], runs[t][i]);
  }
  for (std::size_t i = 1; i < runs[0].size(); ++i) {
    EXPECT_GE(runs[0][i - 1].summary.auc.mean, runs[0][i].summary.auc.mean);
  }
  EXPECT_EQ(runs[0][0].folds.size(), 5u);
}

TEST(CrossValidationErrors, FoldCountsListsAndCancel) {
  const std::string table = generatedTable(12, 3, 1);
  const auto message = [&](const ValidationOptions& options, const TuningGrid& grid) {
    try {
      tuneParameters(kStrict, grid, table, options, TuningCriterion::BalancedAccuracy, {});
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  ValidationOptions options;
  options.folds = 1;
  EXPECT_EQ(message(options, {}), "The number of folds must be at least 2 (it is 1)");
  options.folds = 13;
  EXPECT_EQ(message(options, {}), "The data table has 12 observation(s), too few for 13 folds");
  options.folds = 3;
  TuningGrid empty;
  empty.negativePrevalence.clear();
  EXPECT_EQ(message(options, empty), "Negative Prevalence: the list of values is empty");
  std::atomic<bool> cancel{true};
  options.control.cancel = &cancel;
  EXPECT_EQ(message(options, {}), "Tuning cancelled");
}

TEST(ShareLists, ReadWithEitherSeparator) {
  using F = ParameterField;
  EXPECT_EQ(readShareList(F::PositiveHomogeneity, "0.9,0.8; 0.7  1", {}),
            (std::vector<double>{0.9, 0.8, 0.7, 1}));
  EXPECT_EQ(readShareList(F::PositiveHomogeneity, "0,9; 0,8 0", NumberFormat{","}),
            (std::vector<double>{0.9, 0.8, 0}));
  EXPECT_EQ(shareListText({0.95, 0.1}, NumberFormat{","}), "0,95; 0,1");
  const std::pair<const char*, const char*> bad[] = {
      {"", "Positive Homogeneity: the list of values is empty"},
      {" ; ", "Positive Homogeneity: the list of values is empty"},
      {"0.9;x", "Positive Homogeneity: 'x' is not a valid floating point value"},
      {"0.9 1.5", "Positive Homogeneity: every value must lie between 0 and 1 (one is '1.5')"}};
  for (const auto& [text, expected] : bad) {
    try {
      readShareList(F::PositiveHomogeneity, text, {});
      ADD_FAILURE() << text;
    } catch (const ParameterError& e) {
      EXPECT_EQ(std::string(e.what()), expected);
      EXPECT_EQ(e.field, F::PositiveHomogeneity);
    }
  }
}

TEST(CrossValidationErrors, RunsThatCannotFitOrEndAreRefusedBeforeAnyBuild) {
  const auto message = [](const std::function<void()>& run) {
    try {
      run();
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  ValidationOptions options;
  options.folds = 3;
  // 10^12 sets would not even fit as a list of parameter sets.
  TuningGrid huge;
  std::vector<double> thousand;
  for (int i = 0; i < 1000; ++i) thousand.push_back(i / 1000.0);
  huge.positiveHomogeneity = huge.positivePrevalence = huge.negativeHomogeneity =
      huge.negativePrevalence = thousand;
  const std::string table = generatedTable(12, 3, 1);
  const std::string many =
      message([&] { tuneParameters(kStrict, huge, table, options, TuningCriterion::Auc, {}); });
  EXPECT_EQ(many.rfind("Tuning 1.0e12 parameter sets (1000 x 1000 x 1000 x 1000 values) over 3 "
                       "folds needs about ",
                       0),
            0u)
      << many;
  EXPECT_NE(many.find("; lower the number of values in the lists"), std::string::npos) << many;

  // A fine grid at degree 3 over 2000 distinct values: centuries of search.
  const std::string wide = generatedTable(2000, 8, 3);
  const LearningParameters fine{2000, 3, 0.8, 0.05, 0.2, 0.05};
  const std::string slow = message([&] { crossValidate(fine, wide, options, {}); });
  EXPECT_EQ(slow.rfind("The cross-validation of 3 folds would judge up to ", 0), 0u) << slow;
  EXPECT_NE(slow.find("; lower the Grid Size or the Degree"), std::string::npos) << slow;
}

TEST(Tuning, RepeatedValuesAreTriedOnceAndAnUnrankableRunSaysWhy) {
  const std::string table = generatedTable(60, 4, 5);
  TuningGrid grid;
  grid.positiveHomogeneity = {0.9, 0.7, 0.9};
  grid.positivePrevalence = {0.05, 0.05};
  grid.negativeHomogeneity = {0.1};
  grid.negativePrevalence = {0.05};
  ValidationOptions options;
  options.folds = 3;
  const auto ranked = tuneParameters(kStrict, grid, table, options, TuningCriterion::Auc, {});
  ASSERT_EQ(ranked.size(), 2u);
  EXPECT_NE(ranked[0].parameters.positiveHomogeneity, ranked[1].parameters.positiveHomogeneity);
  EXPECT_EQ(whyUnranked(ranked, TuningCriterion::Auc), "");

  // Every observation of class 1: no fold has a balanced accuracy or an AUC.
  std::string oneClass = "Name,A,B,Class\n";
  for (int r = 0; r < 9; ++r)
    oneClass += "r" + std::to_string(r) + "," + std::to_string(r) + ",1,1\n";
  const auto none = tuneParameters(kStrict, grid, oneClass, options, TuningCriterion::Auc, {});
  EXPECT_EQ(whyUnranked(none, TuningCriterion::Auc),
            "No parameter set could be ranked: the auc of every set is n/a, because no fold has "
            "held-out observations of both class 1 and class 0 (the table's classes must be 1 "
            "and 0, with both present)");
  EXPECT_EQ(whyUnranked(none, TuningCriterion::Accuracy), "");
}

// Tuning tries every degree, cut point choice and selection of its lists, and a set keeps the
// base's choices where a list is empty.
TEST(Tuning, RangesOverDegreesCutPointsAndSelections) {
  const std::string table = generatedTable(60, 5, 3);
  TuningGrid grid;
  grid.positiveHomogeneity = {0.8};
  grid.positivePrevalence = {0.1};
  grid.negativeHomogeneity = {0.2};
  grid.negativePrevalence = {0.1};
  LearningParameters base = kStrict;
  base.coverTarget = 2;
  ValidationOptions options;
  options.folds = 3;
  const auto kept = tuneParameters(base, grid, table, options, TuningCriterion::Auc, {});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].parameters.coverTarget, 2);

  grid.degrees = {1, 2, 2};  // a repeated value is tried once
  grid.discretizations = {Discretization::EqualFrequency, Discretization::ClassAware};
  grid.coverTargets = {0, 1};
  const auto all = tuneParameters(base, grid, table, options, TuningCriterion::Auc, {});
  ASSERT_EQ(all.size(), 8u);
  std::set<std::tuple<std::int32_t, Discretization, std::int32_t>> seen;
  for (const CrossValidationResult& r : all) {
    seen.insert({r.parameters.degree, r.parameters.discretization, r.parameters.coverTarget});
    EXPECT_EQ(r.parameters.gridSize, base.gridSize);
  }
  EXPECT_EQ(seen.size(), 8u);
}

namespace {

// A seeded table of three text classes (low, mid, high) by the sum of the first two of three
// attributes, with noise, so that each class's model has patterns on both sides.
std::string threeClassTable(int rows, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::string table = "Name,A1,A2,A3,Kind\n";
  for (int r = 0; r < rows; ++r) {
    const double a = value(random), b = value(random), c = value(random);
    const double lean = a + b + 0.4 * value(random);
    table += "Obs" + std::to_string(r + 1) + "," + numberText(a, {}) + "," + numberText(b, {}) +
             "," + numberText(c, {}) +
             (lean < -0.4  ? ",low\n"
              : lean < 0.4 ? ",mid\n"
                           : ",high\n");
  }
  return table;
}

const LearningParameters kThreeClass{5, 2, 0.8, 0.05, 0.2, 0.05};

}  // namespace

// Each fold of a table of three classes is what Build Model writes for its training rows (one
// model per class) and Apply Model forecasts for its held-out rows; the folds deal every class
// evenly, and the pooled matrix is the folds' together.
TEST_F(CrossValidation, SeveralClassesAreJudgedAsBuildAndApplyOfTheFoldTablesJudgeThem) {
  const std::string table = threeClassTable(90, 4);
  ValidationOptions options;
  options.folds = 3;
  options.seed = 7;
  const CrossValidationResult result = crossValidate(kThreeClass, table, options, {});
  ASSERT_TRUE(result.multiClass());
  const BuildTables read = intakeTables(kThreeClass, table, "t", {}, {});
  ASSERT_TRUE(read.multiClass());
  std::vector<std::int32_t> classIndex;
  for (std::size_t r = 0; r < read.read->values.size(); ++r) {
    classIndex.push_back(read.read->classIndex(r));
  }
  const auto folds = foldsByClass(classIndex, 3, 3, 7);
  const std::vector<std::string> lines = tableLines(table);
  std::vector<std::vector<std::int64_t>> pooled(3, std::vector<std::int64_t>(3, 0));
  for (std::int32_t f = 0; f < 3; ++f) {
    std::string training = lines[0] + "\n";
    std::string heldOut = lines[0] + "\n";
    std::vector<int> perClass(3, 0);
    for (std::size_t r = 0; r + 1 < lines.size(); ++r) {
      (folds[r] == f ? heldOut : training) += lines[r + 1] + "\n";
      if (folds[r] == f) ++perClass[static_cast<std::size_t>(classIndex[r])];
    }
    for (std::size_t c = 0; c < 3; ++c) {
      const auto all = std::count(classIndex.begin(), classIndex.end(), static_cast<int>(c));
      EXPECT_LE(std::abs(3 * perClass[c] - static_cast<int>(all)), 3) << f << " " << c;
    }
    const PatternCounts counts = runBuildModel(kThreeClass, training, path("F"), nullptr);
    const ClassMetrics expected = evaluateClassForecasts(applyClassModels(path("F"), heldOut, {}));
    const FoldResult& fold = result.folds[static_cast<std::size_t>(f)];
    EXPECT_EQ(fold.positivePatterns, counts.positive) << f;
    EXPECT_EQ(fold.negativePatterns, counts.negative) << f;
    EXPECT_EQ(fold.classMetrics.classes, expected.classes) << f;
    EXPECT_EQ(fold.classMetrics.confusion, expected.confusion) << f;
    EXPECT_EQ(fold.classMetrics.accuracy, expected.accuracy) << f;
    EXPECT_EQ(fold.classMetrics.balancedAccuracy, expected.balancedAccuracy) << f;
    EXPECT_EQ(fold.classMetrics.macroF1, expected.macroF1) << f;
    EXPECT_EQ(fold.classMetrics.auc, expected.auc) << f;
    for (std::size_t t = 0; t < 3; ++t) {
      for (std::size_t c = 0; c < 3; ++c) pooled[t][c] += expected.confusion[t][c];
    }
  }
  EXPECT_EQ(result.pooledClasses.confusion, pooled);
  EXPECT_EQ(result.pooledClasses.rows, 90);
  EXPECT_TRUE(std::isnan(result.summary.undecidedShare.mean));
  EXPECT_FALSE(std::isnan(result.summary.macroF1.mean));
  EXPECT_GT(result.pooledClasses.accuracy, 0.5);
}

// The tie rule of Apply Model: the first of equal scores; rows of no known class are counted
// apart.
TEST(ClassForecasting, TheFirstOfEqualScoresAndRowsWithoutAClassLeftOut) {
  EXPECT_EQ(forecastClass({0, 0, 0}), 0u);
  EXPECT_EQ(forecastClass({-1, 0.5, 0.5}), 1u);
  EXPECT_EQ(forecastClass({-1, -0.5, 0.25}), 2u);
  const std::vector<ClassForecast> rows = {
      {"r1", "a", {0.5, 0.5, 0}, 0}, {"r2", "b", {0, 1, 0}, 1}, {"r3", "", {0, 1, 0}, 1}};
  const ClassMetrics m = evaluateClassForecasts({"a", "b", "c"}, rows);
  EXPECT_EQ(m.rows, 2);
  EXPECT_EQ(m.unclassed, 1);
  EXPECT_EQ(m.accuracy, 1.0);
  EXPECT_EQ(m.balancedAccuracy, 1.0);    // c has no rows: the mean of a's and b's recalls
  EXPECT_DOUBLE_EQ(m.macroF1, 2.0 / 3);  // c's F1 is 0
  EXPECT_TRUE(std::isnan(m.auc[2]));
  EXPECT_EQ(meanClassAuc(m), (m.auc[0] + m.auc[1]) / 2);
}

// Tuning a table of three classes: the same figures at 1 and 2 threads, ranked by balanced
// accuracy, ties to fewer patterns of all the models; the best set's figures are those of its
// own cross-validation with the same folds.
TEST(Tuning, SeveralClassesRankedTheSameAtEveryThreadCount) {
  const std::string table = threeClassTable(75, 9);
  TuningGrid grid;
  grid.positiveHomogeneity = {0.9, 0.7};
  grid.positivePrevalence = {0.05};
  grid.negativeHomogeneity = {0.1, 0.3};
  grid.negativePrevalence = {0.05};
  grid.degrees = {1, 2};
  std::vector<std::vector<CrossValidationResult>> runs;
  for (const int threads : {1, 2}) {
    ValidationOptions options;
    options.folds = 4;
    options.control.threads = threads;
    runs.push_back(
        tuneParameters(kThreeClass, grid, table, options, TuningCriterion::BalancedAccuracy, {}));
  }
  ASSERT_EQ(runs[0].size(), 8u);
  for (std::size_t i = 0; i < runs[0].size(); ++i) {
    const CrossValidationResult& x = runs[0][i];
    const CrossValidationResult& y = runs[1][i];
    EXPECT_EQ(x.parameters.degree, y.parameters.degree) << i;
    EXPECT_EQ(x.parameters.positiveHomogeneity, y.parameters.positiveHomogeneity) << i;
    EXPECT_EQ(x.pooledClasses.confusion, y.pooledClasses.confusion) << i;
    EXPECT_EQ(x.summary.macroF1.mean, y.summary.macroF1.mean) << i;
    for (std::size_t f = 0; f < x.folds.size(); ++f) {
      EXPECT_EQ(x.folds[f].classMetrics.confusion, y.folds[f].classMetrics.confusion) << i;
      EXPECT_EQ(x.folds[f].positivePatterns, y.folds[f].positivePatterns) << i;
    }
  }
  const auto& ranked = runs[0];
  for (std::size_t i = 1; i < ranked.size(); ++i) {
    const FoldSummary& a = ranked[i - 1].summary;
    const FoldSummary& b = ranked[i].summary;
    ASSERT_GE(a.balancedAccuracy.mean, b.balancedAccuracy.mean) << i;
    if (a.balancedAccuracy.mean == b.balancedAccuracy.mean && a.auc.mean == b.auc.mean) {
      EXPECT_LE(a.positivePatterns.mean + a.negativePatterns.mean,
                b.positivePatterns.mean + b.negativePatterns.mean)
          << i;
    }
  }
  EXPECT_EQ(whyUnranked(ranked, TuningCriterion::BalancedAccuracy), "");
  ValidationOptions options;
  options.folds = 4;
  const CrossValidationResult best = crossValidate(ranked[0].parameters, table, options, {});
  EXPECT_EQ(best.pooledClasses.confusion, ranked[0].pooledClasses.confusion);
  EXPECT_EQ(best.summary.balancedAccuracy.mean, ranked[0].summary.balancedAccuracy.mean);
  EXPECT_EQ(best.summary.positivePatterns.mean, ranked[0].summary.positivePatterns.mean);
}
