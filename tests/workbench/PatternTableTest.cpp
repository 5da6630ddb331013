// Patterns as rules and their statistics on a table: against the frozen model files, against
// hand-checked values, and the same at every thread count.
#include <gtest/gtest.h>
#include <oneapi/tbb/global_control.h>

#include <filesystem>

#include "BuildModel.h"
#include "GeneratedTable.h"
#include "LadError.h"
#include "LineFile.h"
#include "TestLists.h"
#include "PatternReport.h"
#include "PatternTable.h"
#include "TempDir.h"
#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

ModelRules loadRules(const std::string& name, const NumberFormat& format = {}) {
  return ModelRules(loadModel(name, format), format);
}

ObservationTable readTable(const std::string& text) {
  return ObservationTable::read(text, NumberFormat{});
}

// The rule a NAME.DES line describes: ">=x & <y" in the field of attribute A is "x <= A < y".
std::string ruleOfDescription(const std::string& line, const std::vector<std::string>& names) {
  TextPairList fields;
  fields.parse(line);
  std::string rule;
  for (std::size_t k = 1; k < fields.keys.size(); ++k) {
    const std::string& field = fields.keys[k];
    if (field.empty()) continue;
    const std::string& name = names[k - 1];
    std::string condition;
    const std::size_t both = field.find(" & <");
    if (both != std::string::npos) {
      condition = field.substr(2, both - 2) + " <= " + name + " < " + field.substr(both + 4);
    } else if (field.rfind(">=", 0) == 0) {
      condition = name + " >= " + field.substr(2);
    } else {
      condition = name + " < " + field.substr(1);
    }
    rule += (rule.empty() ? "" : " and ") + condition;
  }
  return rule.empty() ? "(no condition)" : rule;
}

class PatternTableTest : public TempDirTest {
 protected:
  ModelRules modelOf(const std::string& modText) {
    write(path("M.MOD"), modText);
    return loadRules(path("M"));
  }
};

}  // namespace

// Every pattern of every frozen case: its rule says what NAME.DES says, its name is the one
// NAME.PAT and NAME.DES give it, and the rows it covers are the 1s of its NAME.PAT column.
TEST_F(PatternTableTest, RulesAndCoverageMatchTheFrozenFiles) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(LAD_TEST_DATA_DIR)) {
    if (!entry.is_directory()) continue;
    ++cases;
    const std::string dir = entry.path().string();
    SCOPED_TRACE(dir);
    const PatternTable table(loadRules(dir + "/LAD"), readTable(readTextFile(dir + "/table.txt")));
    const std::vector<std::string> description = readLineFile(dir + "/LAD.DES");
    const std::vector<std::string> space = readLineFile(dir + "/LAD.PAT");
    TextPairList names;
    names.parse(description[0].substr(1));
    ASSERT_EQ(static_cast<std::int32_t>(description.size()) - 1, table.size());
    ASSERT_EQ(space.size() - 1, table.table().rows());
    for (std::int32_t j = 0; j < table.size(); ++j) {
      const std::string& line = description[static_cast<std::size_t>(j) + 1];
      EXPECT_EQ(line.substr(0, line.find(',')), table.name(j));
      EXPECT_EQ(ruleOfDescription(line, names.keys), table.rule(j)) << table.name(j);
      std::vector<std::int32_t> expected;
      for (std::size_t r = 1; r < space.size(); ++r) {
        TextPairList bits;
        bits.parse(space[r]);
        if (bits.keys[static_cast<std::size_t>(j) + 1] == "1") {
          expected.push_back(static_cast<std::int32_t>(r - 1));
        }
      }
      EXPECT_EQ(table.coveredRows(j), expected) << table.name(j);
    }
  }
  EXPECT_GE(cases, 3);
}

// Checked by hand on the sample table (8 rows of class 1, 8 of class 0):
// P1 is -0.294350809 <= Attr6 < 0.334246251; Obs1 lies on its lower cutpoint (in), Obs10 on its
// upper one (out). N1 is Attr6 < -0.294350809: Obs2 and Obs16 only.
TEST_F(PatternTableTest, StatisticsOnTheSampleTable) {
  const PatternTable table(
      loadRules(std::string(LAD_TEST_DATA_DIR) + "/sample/LAD"),
      readTable(readTextFile(std::string(LAD_TEST_DATA_DIR) + "/sample/table.txt")));
  EXPECT_EQ(table.positiveRows(), 8);
  EXPECT_EQ(table.negativeRows(), 8);
  ASSERT_EQ(table.rules().positiveCount(), 113);
  EXPECT_EQ(table.rule(0), "-0.294350809 <= Attr6 < 0.334246251");
  EXPECT_EQ(table.degree(0), 1);
  EXPECT_EQ(table.covered(0).positive, 8);
  EXPECT_EQ(table.covered(0).negative, 4);
  EXPECT_EQ(table.prevalence(0), 1.0);
  EXPECT_EQ(table.homogeneity(0), 8.0 / 12.0);
  EXPECT_EQ(table.coveredRows(0),
            (std::vector<std::int32_t>{0, 2, 3, 5, 6, 7, 8, 10, 11, 12, 13, 14}));

  const std::int32_t n1 = table.rules().find("N1");
  ASSERT_EQ(n1, 113);
  EXPECT_EQ(table.name(n1), "N1");
  EXPECT_FALSE(table.isPositive(n1));
  EXPECT_EQ(table.rule(n1), "Attr6 < -0.294350809");
  EXPECT_EQ(table.covered(n1).positive, 0);
  EXPECT_EQ(table.covered(n1).negative, 2);
  EXPECT_EQ(table.prevalence(n1), 0.25);
  EXPECT_EQ(table.homogeneity(n1), 1.0);
  EXPECT_EQ(table.coveredRows(n1), (std::vector<std::int32_t>{1, 15}));

  // Highest prevalence first, ties in model order; fewest conditions first.
  const std::vector<std::int32_t> byPrevalence = table.sortedOrder(PatternSortKey::Prevalence);
  EXPECT_EQ(byPrevalence[0], 0);
  for (std::size_t i = 1; i < byPrevalence.size(); ++i) {
    const double before = *table.prevalence(byPrevalence[i - 1]);
    const double now = *table.prevalence(byPrevalence[i]);
    EXPECT_TRUE(before > now || (before == now && byPrevalence[i - 1] < byPrevalence[i]));
  }
  const std::vector<std::int32_t> byDegree = table.sortedOrder(PatternSortKey::Degree);
  EXPECT_EQ(table.degree(byDegree.front()), 1);
  EXPECT_EQ(table.degree(byDegree.back()), 2);
}

// Rules of hand-made coordinates: open sides, two coordinates on one attribute merged into
// the condition that holds when both do, a coordinate over every bin dropped.
TEST_F(PatternTableTest, RuleTexts) {
  const ModelRules rules = modelOf(
      "Attributes=Width,Height of wall\r\nCutpoints_Att_0=1,2.5,4\r\nCutpoints_Att_1=1E-5,0.001\r\n"
      "Pospattern1=0:1:0\r\nPospattern2=1:3:0\r\nPospattern3=1:1:1,2:3:0\r\n"
      "Pospattern4=0:2:0,1:3:0\r\nNegpattern1=0:3:0,0:2:1\r\nNegpattern2=0:3:0\r\n");
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"Width < 2.5", 1},
      {"Width >= 1", 1},
      {"Width >= 2.5 and 1E-5 <= Height of wall < 0.001", 2},
      {"1 <= Width < 4", 1},
      {"(no condition)", 0},
      {"(no condition)", 0},
  };
  ASSERT_EQ(rules.size(), static_cast<std::int32_t>(expected.size()));
  for (std::int32_t j = 0; j < rules.size(); ++j) {
    EXPECT_EQ(rules.rule(j), expected[static_cast<std::size_t>(j)].first) << j;
    EXPECT_EQ(rules.degree(j), expected[static_cast<std::size_t>(j)].second) << j;
  }
  // The merged condition holds exactly where both coordinates do.
  for (const double v : {0.5, 1.0, 2.0, 2.5, 3.9, 4.0, 9.0}) {
    const std::vector<double> values{v, 0.0};
    const Condition merged = rules.conditions(3).front();
    EXPECT_EQ(merged.holds(v, rules.cutpoints(0)), rules.satisfies(3, values)) << v;
  }
  // Numbers in the user's number text form.
  EXPECT_EQ(rules.withFormat(NumberFormat{","}).rule(2),
            "Width >= 2,5 and 1E-5 <= Height of wall < 0,001");
}

TEST_F(PatternTableTest, PatternNames) {
  const ModelRules rules = loadRules(std::string(LAD_TEST_DATA_DIR) + "/sample/LAD");
  for (const auto& [name, index] :
       std::vector<std::pair<std::string, std::int32_t>>{{"P1", 0},
                                                         {"p113", 112},
                                                         {"N1", 113},
                                                         {"n91", 203},
                                                         {"P0", -1},
                                                         {"P114", -1},
                                                         {"N92", -1},
                                                         {"X1", -1},
                                                         {"P", -1},
                                                         {"P1a", -1},
                                                         {"P99999999999999999999", -1}}) {
    EXPECT_EQ(rules.find(name), index) << name;
  }
  EXPECT_EQ(rules.name(112), "P113");
  EXPECT_EQ(rules.name(203), "N91");
}

// Rows of neither class are covered but counted on no side; a share of nothing is none.
TEST_F(PatternTableTest, SharesWithoutRows) {
  const ModelRules rules =
      modelOf("Attributes=A\r\nCutpoints_Att_0=1\r\nPospattern1=0:0:0\r\nNegpattern1=1:1:0\r\n");
  const PatternTable table(rules, readTable("Name,A,Class\nx,0.5,2\ny,0.7,1\nz,0.2,yes\n"));
  EXPECT_EQ(table.positiveRows(), 1);
  EXPECT_EQ(table.negativeRows(), 0);
  EXPECT_EQ(table.unclassifiedRows(), 2);
  EXPECT_EQ(table.coveredRows(0), (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(table.covered(0).positive, 1);
  EXPECT_EQ(table.covered(0).negative, 0);
  EXPECT_EQ(table.homogeneity(0), 1.0);
  EXPECT_EQ(table.prevalence(1), std::nullopt);   // no row of class 0
  EXPECT_EQ(table.homogeneity(1), std::nullopt);  // covers nothing
  EXPECT_EQ(table.sortedOrder(PatternSortKey::Homogeneity), (std::vector<std::int32_t>{0, 1}));

  const PatternTable bare(rules);
  EXPECT_FALSE(bare.hasTable());
  EXPECT_EQ(bare.degree(1), 1);
  EXPECT_EQ(bare.prevalence(0), std::nullopt);
  EXPECT_TRUE(bare.coveredRows(0).empty());
}

// The table is read as Apply Model reads it, and refused where Apply Model refuses it.
TEST_F(PatternTableTest, ObservationTables) {
  const ObservationTable table = readTable("Name,A,B,Class\r\nx, 1.5 ,2,1.9\r\ny,3,0\r\n");
  ASSERT_EQ(table.rows(), 2u);
  EXPECT_EQ(table.values(0)[0], 1.5);
  EXPECT_EQ(table.values(1)[0], 3.0);
  EXPECT_EQ(table.values(1)[1], 0.0);  // a short line's missing value
  EXPECT_EQ(table.observationClass(0), 1);
  EXPECT_EQ(table.observationClass(1), 0);
  EXPECT_EQ(table.classField(0), "1.9");
  EXPECT_EQ(table.lineNumber(1), 3u);

  const auto failure = [](const std::string& text) {
    try {
      readTable(text);
    } catch (const LadError& e) {
      return std::string(e.what());
    }
    return std::string("no failure");
  };
  EXPECT_EQ(failure(""), "The data table is empty");
  EXPECT_EQ(failure("Name"), "Range check error");
  EXPECT_EQ(failure("Name,A,Class\nx,1,1,1\n"), "Line 2 has 4 fields, but the header has 3");
  EXPECT_EQ(failure("Name,A,Class\nx,1,1\ny,one,0\n"),
            "Line 3, column 2: 'one' is not a valid floating point value");

  const ModelRules rules =
      modelOf("Attributes=A,B\r\nCutpoints_Att_0=1\r\nCutpoints_Att_1=1\r\nPospattern1=0:0:1\r\n");
  EXPECT_EQ(headerMismatch(rules, readTable("Name,A,B,Class\nx,1,1,1\n")), "");
  EXPECT_EQ(headerMismatch(rules, readTable("Name,A,C,Class\nx,1,1,1\n")),
            "Column 3 of the table is named 'C', but the model's attribute 2 is 'B'; the model "
            "reads the values by their column");
  try {
    PatternTable(rules, readTable("Name,A,Class\nx,1,1\n"));
    ADD_FAILURE() << "a table without column B was taken";
  } catch (const LadError& e) {
    EXPECT_STREQ(e.what(),
                 "The model's patterns use attribute 2 (B), but the data table has 1 attribute "
                 "column(s)");
  }
}

// The same rows and orders at every thread count, on a model of thousands of patterns.
TEST_F(PatternTableTest, SameAtEveryThreadCount) {
  const std::string text = generatedTable(300, 10, 7);
  runBuildModel(LearningParameters{10, 3, 0.7, 0.02, 0.7, 0.02}, text, path("G"), nullptr);
  const ModelRules rules = loadRules(path("G"));
  ASSERT_GT(rules.size(), 5000);
  const auto run = [&](int threads) {
    tbb::global_control limit(tbb::global_control::max_allowed_parallelism,
                              static_cast<std::size_t>(threads));
    const PatternTable table(rules, readTable(text));
    std::vector<std::int32_t> all;
    for (std::int32_t j = 0; j < table.size(); ++j) {
      all.push_back(table.covered(j).positive);
      all.push_back(table.covered(j).negative);
      all.push_back(table.degree(j));
    }
    for (const PatternSortKey key : {PatternSortKey::Prevalence, PatternSortKey::Homogeneity,
                                     PatternSortKey::Coverage, PatternSortKey::Degree}) {
      const std::vector<std::int32_t> order = table.sortedOrder(key);
      all.insert(all.end(), order.begin(), order.end());
    }
    return all;
  };
  const std::vector<std::int32_t> one = run(1);
  EXPECT_EQ(run(2), one);
  EXPECT_EQ(run(4), one);
}

// CSV quotes a field that holds the separator, as numbers do where the decimal separator is ",".
TEST_F(PatternTableTest, CsvWithADecimalComma) {
  const ModelRules rules = modelOf("Attributes=A\r\nCutpoints_Att_0=0.5\r\nPospattern1=0:0:0\r\n");
  const PatternTable table(rules.withFormat(NumberFormat{","}),
                           readTable("Name,A,Class\nx,0.2,1\ny,0.3,0\nz,0.9,1\n"));
  std::string csv;
  writePatternList(table, table.sortedOrder(PatternSortKey::Model), PatternListFormat::Csv,
                   [&](std::string_view piece) { csv += piece; });
  EXPECT_EQ(csv,
            "pattern,class,degree,positive,negative,prevalence,homogeneity,rule\n"
            "P1,1,1,1,1,\"0,5\",\"0,5\",\"A < 0,5\"\n");
}
