// The explanation of a score: the patterns for and against, and the near misses.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Explanation.h"
#include "LadError.h"
#include "Observations.h"
#include "PatternReport.h"
#include "TempDir.h"
#include "TextFile.h"

namespace {

class ExplanationTest : public TempDirTest {
 protected:
  ModelRules modelOf(const std::string& modText) {
    write(path("M.MOD"), modText);
    return ModelRules(loadModel(path("M"), NumberFormat{}), NumberFormat{});
  }
};

// The value a near miss asks for: the cutpoint, or the largest value below it.
double changed(const NearMiss& m) {
  return m.raise ? m.bound : std::nextafter(m.bound, -std::numeric_limits<double>::infinity());
}

}  // namespace

// On every observation of the frozen cases: the score is Apply Model's, the patterns for and
// against are exactly the satisfied ones, and each near miss fails by the one condition it
// names; with the value changed as it says, the pattern is satisfied and the model scores
// exactly scoreAfter.
TEST_F(ExplanationTest, EveryObservationOfTheFrozenCases) {
  for (const char* name : {"sample", "sample-grid5-degree3", "quirks"}) {
    SCOPED_TRACE(name);
    const std::string dir = std::string(LAD_TEST_DATA_DIR) + "/" + name;
    const ModelRules rules(loadModel(dir + "/LAD", NumberFormat{}), NumberFormat{});
    ObservationTable table =
        ObservationTable::read(readTextFile(dir + "/table.txt"), NumberFormat{});
    table.widen(rules.attributeCount());
    std::size_t misses = 0;
    for (std::size_t r = 0; r < table.rows(); ++r) {
      const auto values = table.values(r);
      const arrreal point(values.begin(), values.end());
      const Explanation e = explainObservation(rules, values);
      EXPECT_EQ(e.score, rules.model().score(point));
      std::vector<std::int32_t> satisfied;
      for (std::int32_t j = 0; j < rules.size(); ++j) {
        if (rules.satisfies(j, values)) satisfied.push_back(j);
      }
      std::vector<std::int32_t> listed = e.forPatterns;
      listed.insert(listed.end(), e.againstPatterns.begin(), e.againstPatterns.end());
      EXPECT_EQ(listed, satisfied) << r;
      for (const NearMiss& m : e.nearMisses) {
        ++misses;
        const auto k = static_cast<std::size_t>(m.condition.attribute);
        EXPECT_EQ(m.value, values[k]);
        EXPECT_FALSE(m.condition.holds(m.value, rules.cutpoints(k)));
        arrreal after = point;
        after[k] = changed(m);
        EXPECT_TRUE(rules.satisfies(m.pattern, after)) << rules.name(m.pattern);
        EXPECT_EQ(m.scoreAfter, rules.model().score(after)) << rules.name(m.pattern);
      }
    }
    EXPECT_GT(misses, 0u);
  }
}

// One positive pattern P1: 1 <= A < 3 and B >= 10; one negative N1: A < 2. A row inside, on a
// cutpoint, outside by one condition and by two.
TEST_F(ExplanationTest, NearMissCases) {
  const ModelRules rules = modelOf(
      "Attributes=A,B\r\nCutpoints_Att_0=1,2,3\r\nCutpoints_Att_1=10,20\r\n"
      "Pospattern1=1:2:0,1:2:1\r\nNegpattern1=0:1:0\r\n");
  struct Miss {
    std::string pattern;
    bool raise;
    double bound;
    double change;
    double scoreAfter;
  };
  struct Case {
    const char* what;
    double a;
    double b;
    double score;
    std::vector<Miss> misses;
  };
  const std::vector<Case> cases = {
      {"inside both", 2.5, 15, 1, {{"N1", false, 2, -0.5, 0}}},
      {"on P1's lower cutpoint: inside", 1, 15, 0, {}},
      {"on P1's upper cutpoint: out by one",
       3,
       15,
       0,
       {{"P1", false, 3, 0, 1}, {"N1", false, 2, -1, 0}}},
      {"below A's range", 0.5, 15, -1, {{"P1", true, 1, 0.5, 0}}},
      {"out by two conditions", 0.5, 5, -1, {}},
      {"only B short", 2.5, 5, 0, {{"P1", true, 10, 5, 1}, {"N1", false, 2, -0.5, -1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<double> values{c.a, c.b};
    const Explanation e = explainObservation(rules, values);
    EXPECT_EQ(e.score, c.score);
    EXPECT_EQ(e.positiveShare, 1.0);
    EXPECT_EQ(e.negativeShare, -1.0);
    ASSERT_EQ(e.nearMisses.size(), c.misses.size());
    for (std::size_t i = 0; i < c.misses.size(); ++i) {
      const NearMiss& got = e.nearMisses[i];
      const Miss& want = c.misses[i];
      EXPECT_EQ(rules.name(got.pattern), want.pattern);
      EXPECT_EQ(got.raise, want.raise);
      EXPECT_EQ(got.bound, want.bound);
      EXPECT_EQ(got.change, want.change);
      EXPECT_EQ(got.scoreAfter, want.scoreAfter);
    }
  }
}

TEST_F(ExplanationTest, TooFewValuesAreRefused) {
  const ModelRules rules =
      modelOf("Attributes=A,B\r\nCutpoints_Att_0=1\r\nCutpoints_Att_1=1\r\nPospattern1=0:0:1\r\n");
  const std::vector<double> one{0.5};
  try {
    explainObservation(rules, one);
    ADD_FAILURE() << "one value was taken";
  } catch (const LadError& e) {
    EXPECT_STREQ(e.what(),
                 "The model's patterns use attribute 2 (B), but only 1 value(s) are given");
  }
}

TEST_F(ExplanationTest, AsText) {
  const ModelRules rules = modelOf(
      "Attributes=A,B\r\nCutpoints_Att_0=1,2,3\r\nCutpoints_Att_1=10,20\r\n"
      "Pospattern1=1:2:0,1:2:1\r\nNegpattern1=0:1:0\r\n");
  const std::vector<double> values{3, 15};
  EXPECT_EQ(explanationText(rules, explainObservation(rules, values), "x (line 2, class 1)"),
            (std::vector<std::string>{
                "x (line 2, class 1): score 0",
                "  = 0/1 positive patterns - 0/1 negative patterns",
                "For: 0 patterns, each +1",
                "Against: 0 patterns, each -1",
                "Near misses: 2 patterns failed by one condition",
                "  P1  1 <= A < 3 fails: A is 3; lower it below 3 (it lies on it) -> score 1",
                "  N1  A < 2 fails: A is 3; lower it below 2 (by more than 1) -> score 0",
            }));
}
