// What the front ends choose around an evaluation: the undecided rule, the forecast and verdict
// of each scored row, what a cross-validation or tuning run will cost, and how many attributes
// class-aware cut points leave to the search.
#include <gtest/gtest.h>

#include <cmath>

#include "BuildModel.h"
#include "CrossValidation.h"
#include "GeneratedTable.h"
#include "InMemoryModel.h"
#include "LadError.h"
#include "SampleTable.h"
#include "ScoredRows.h"
#include "TempDir.h"
#include "UndecidedRule.h"

TEST(UndecidedRule, ResolvesToAClassOrWrong) {
  const ClassCounts morePositive{7, 3};
  const ClassCounts moreNegative{2, 9};
  const ClassCounts even{4, 4};
  struct Case {
    UndecidedRule rule;
    const ClassCounts* training;
    std::int32_t expected;
  };
  const Case cases[] = {
      {UndecidedRule::LargerClass, &morePositive, 1},
      {UndecidedRule::LargerClass, &moreNegative, 0},
      {UndecidedRule::LargerClass, &even, kOtherClass},    // no larger class
      {UndecidedRule::LargerClass, nullptr, kOtherClass},  // a model loaded, table unknown
      {UndecidedRule::Wrong, &morePositive, kOtherClass},
      {UndecidedRule::ClassOne, &moreNegative, 1},
      {UndecidedRule::ClassZero, nullptr, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(undecidedClass(c.rule, c.training), c.expected) << static_cast<int>(c.rule);
  }
}

TEST(UndecidedRule, CountsTheTablesClassesAndSaysWhatItDecided) {
  const ClassCounts counts =
      tableClassCounts("Name,A,Class\na,1,1\nb,2,0\nc,3,0\nd,4,7\n", NumberFormat{});
  EXPECT_EQ(counts.positives, 1);
  EXPECT_EQ(counts.negatives, 2);
  EXPECT_THROW(tableClassCounts("Name,A,Class\na,x,1\n", NumberFormat{}), std::exception);

  // Two undecided rows, one of each class.
  Metrics metrics = evaluateScores({{1, 0.5}, {1, 0.0}, {0, 0.0}, {0, -0.2}});
  EXPECT_EQ(undecidedSentence(metrics), "");  // nothing decided by a rule
  decideUndecided(metrics, 0);
  EXPECT_EQ(undecidedSentence(metrics), "2 undecided rows counted as class 0.");
  EXPECT_DOUBLE_EQ(metrics.accuracy, 0.75);
  Metrics one = evaluateScores({{1, 0.0}});
  decideUndecided(one, 1);
  EXPECT_EQ(undecidedSentence(one), "1 undecided row counted as class 1.");
}

TEST(ScoredRows, ForecastAndVerdictFollowTheUndecidedRule) {
  struct Case {
    ScoredRow row;
    std::int32_t undecidedAs;
    std::int32_t forecast;
    RowVerdict verdict;
  };
  const Case cases[] = {
      {{"a", "1", 1, 0.3}, kOtherClass, 1, RowVerdict::Right},
      {{"b", "1", 1, -0.3}, kOtherClass, 0, RowVerdict::Wrong},
      {{"c", "0", 0, -1e-300}, kOtherClass, 0, RowVerdict::Right},
      {{"d", "1", 1, 0.0}, kOtherClass, kOtherClass, RowVerdict::Wrong},  // undecided
      {{"e", "1", 1, 0.0}, 1, 1, RowVerdict::Right},
      {{"f", "0", 0, 0.0}, 1, 1, RowVerdict::Wrong},
      {{"g", "2", kOtherClass, 0.4}, kOtherClass, 1, RowVerdict::NotJudged},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(forecastClass(c.row.score, c.undecidedAs), c.forecast) << c.row.name;
    EXPECT_EQ(rowVerdict(c.row, c.undecidedAs), c.verdict) << c.row.name;
  }
}

// The estimate counts builds as the runs do, grows with the degree, and is said in a sentence.
TEST(ValidationCost, CountsBuildsAndGrowsWithTheDegree) {
  const std::string table = generatedTable(120, 30, 3);
  ValidationOptions options;
  options.folds = 5;
  options.control.threads = 1;
  LearningParameters p;
  const ValidationCost cv = crossValidationCost(p, table, options, NumberFormat{});
  EXPECT_EQ(cv.builds, 5);
  EXPECT_EQ(cv.threads, 1);
  EXPECT_GT(cv.seconds, 0);

  TuningGrid grid;                             // 3 x 2 x 3 x 2 thresholds
  grid.positiveHomogeneity = {0.9, 0.8, 0.9};  // a repeated value is tried once
  grid.degrees = {2, 3};
  grid.coverTargets = {0, 3};
  const ValidationCost tune = tuningCost(p, grid, table, options, NumberFormat{});
  EXPECT_EQ(tune.builds, 2 * 2 * 3 * 2 * 2 * 2 * 5);
  // Priced at degree 3: C(30,3) subsets instead of C(30,2) per build.
  LearningParameters three = p;
  three.degree = 3;
  const double perBuildAtThree =
      crossValidationCost(three, table, options, NumberFormat{}).seconds / 5;
  EXPECT_NEAR(tune.seconds, perBuildAtThree * static_cast<double>(tune.builds),
              tune.seconds * 1e-9);
  EXPECT_GT(perBuildAtThree, 5 * cv.seconds / 5);

  EXPECT_EQ(validationCostText({360, 600, 2}), "360 builds, up to about 10 minutes on 2 threads");
  EXPECT_EQ(validationCostText({1, 40, 1}), "1 build, up to about 40 seconds on 1 thread");
  EXPECT_THROW(crossValidationCost(p, "Name,Class\n", options, NumberFormat{}), std::exception);
}

class BuildChoices : public TempDirTest {};

// With class-aware cut points a build says how many attributes its search took: here two of
// three, the third being noise whose class never changes with its value in a way that pays.
TEST_F(BuildChoices, ClassAwareBuildSaysHowManyAttributesRemained) {
  std::string table = "Name,Signal,Also,Noise,Class\n";
  for (int i = 0; i < 40; ++i) {
    const int cls = i < 20 ? 1 : 0;
    table += "o" + std::to_string(i) + "," + std::to_string(cls * 10 + i % 3) + "," +
             std::to_string(cls * 5 + i % 2) + "," + std::to_string(i % 2) + "," +
             std::to_string(cls) + "\n";
  }
  LearningParameters p;
  p.discretization = Discretization::ClassAware;
  p.degree = 1;
  BuildOptions options;
  std::pair<std::int32_t, std::int32_t> told{-1, -1};
  options.attributesSearched = [&](std::int32_t searched, std::int32_t all) {
    told = {searched, all};
  };
  runBuildModel(p, table, path("M"), nullptr, options);
  EXPECT_EQ(told, std::make_pair(2, 3));
  // Equal-frequency cut points search every attribute, and say nothing.
  told = {-1, -1};
  p.discretization = Discretization::EqualFrequency;
  runBuildModel(p, table, path("M"), nullptr, options);
  EXPECT_EQ(told, std::make_pair(-1, -1));
}

TEST(TuningLists, DegreesAndSelectionsReadOrSayWhatIsWrong) {
  EXPECT_EQ(readDegreeList("2; 3,4"), (std::vector<std::int32_t>{2, 3, 4}));
  EXPECT_TRUE(readDegreeList("  ").empty());
  EXPECT_EQ(readSelectionList("none cover:3; 1 0"), (std::vector<std::int32_t>{0, 3, 1, 0}));
  EXPECT_TRUE(readSelectionList("").empty());
  const auto message = [](auto read, const char* text) {
    try {
      read(text);
    } catch (const LadError& e) {
      return std::string(e.what());
    }
    return std::string("no failure");
  };
  EXPECT_EQ(message(readDegreeList, "2; 0"),
            "Degrees: '0' is not a degree; give whole numbers of at least 1, such as 2; 3");
  for (const char* bad : {"cover:0", "cover:", "-1", "all", "2.5"}) {
    EXPECT_EQ(message(readSelectionList, bad).rfind("Selections: '", 0), 0u) << bad;
  }
}
