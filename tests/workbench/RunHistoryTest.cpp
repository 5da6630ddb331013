// The run history file: records written and read back, lines that are not records left out
// and counted, and two runs side by side.
#include <gtest/gtest.h>

#include <cmath>

#include "LadError.h"
#include "RunHistory.h"
#include "TempDir.h"

namespace {

RunRecord sampleRun() {
  RunRecord run;
  run.time = "2026-12-11 02:30:05";
  run.kind = "apply";
  run.table = "wdbc\ttest.csv";  // a tab in a name must not add a field
  run.model = "LAD";
  run.parameters = parametersSummary(LearningParameters{});
  run.positivePatterns = 12;
  run.negativePatterns = 9.5;
  run.accuracy = 0.875;
  run.balancedAccuracy = 0.1 + 0.2;  // kept to the last bit
  run.auc = std::nan("");
  run.undecidedShare = 0;
  run.seconds = 1.25;
  return run;
}

class RunHistoryFile : public TempDirTest {};

}  // namespace

TEST(RunHistory, ParametersSummaryNamesTheChoicesMade) {
  LearningParameters p;
  EXPECT_EQ(parametersSummary(p), "grid 8, degree 2, 0.6/0.1/0.4/0.1");
  p.discretization = Discretization::ClassAware;
  p.coverTarget = 3;
  p.degree = 3;
  EXPECT_EQ(parametersSummary(p), "grid 8, degree 3, 0.6/0.1/0.4/0.1, class-aware, cover 3");
}

TEST(RunHistory, LineReadsBackAndBadLinesAreRefused) {
  const RunRecord run = sampleRun();
  const std::string line = runHistoryLine(run);
  EXPECT_EQ(line,
            "2026-12-11 02:30:05\tapply\twdbc test.csv\tLAD\tgrid 8, degree 2, "
            "0.6/0.1/0.4/0.1\t12\t9.5\t0.875\t0.30000000000000004\tn/a\t0\t1.25");
  RunRecord back;
  ASSERT_TRUE(readRunHistoryLine(line + "\r", back));
  EXPECT_EQ(back.table, "wdbc test.csv");
  EXPECT_EQ(back.balancedAccuracy, run.balancedAccuracy);
  EXPECT_TRUE(std::isnan(back.auc));
  EXPECT_EQ(back.negativePatterns, 9.5);
  for (const std::string& bad : {std::string(""), std::string("a\tb\tc"),
                                 line.substr(0, line.rfind('\t')) + "\t1,5",  // a comma number
                                 line + "\textra", "\t" + line.substr(line.find('\t') + 1)}) {
    RunRecord untouched = back;
    EXPECT_FALSE(readRunHistoryLine(bad, untouched)) << bad;
    EXPECT_EQ(untouched.table, back.table);
  }
}

TEST_F(RunHistoryFile, AppendsReadsAndCountsWhatIsNotARun) {
  const std::string file = path(kRunHistoryFile);
  EXPECT_TRUE(readRunHistory(file).runs.empty());  // none yet
  RunRecord first = sampleRun();
  RunRecord second = sampleRun();
  second.kind = "build";
  appendRun(file, first);
  appendRun(file, second);
  EXPECT_EQ(read(file).substr(0, 10), "time\tkind\t");  // one header
  EXPECT_EQ(read(file).find("time\tkind", 1), std::string::npos);
  write(file, read(file) + "written by hand\n\n");
  const RunHistory history = readRunHistory(file);
  ASSERT_EQ(history.runs.size(), 2u);
  EXPECT_EQ(history.runs[1].kind, "build");
  EXPECT_EQ(history.unreadLines, 1);

  // A folder that cannot be written says which file and why.
  try {
    appendRun(path("no/such/folder/") + kRunHistoryFile, first);
    ADD_FAILURE() << "no failure";
  } catch (const LadError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot write the run history"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("no/such/folder"), std::string::npos);
  }
}

TEST_F(RunHistoryFile, KeepsTheNewestRuns) {
  const std::string file = path(kRunHistoryFile);
  std::string text = runHistoryHeader() + "\n";
  RunRecord run = sampleRun();
  for (std::size_t i = 0; i < kRunsKept + 3; ++i) {
    run.model = "M" + std::to_string(i);
    text += runHistoryLine(run) + "\n";
  }
  write(file, text);
  const RunHistory history = readRunHistory(file);
  ASSERT_EQ(history.runs.size(), kRunsKept);
  EXPECT_EQ(history.runs.front().model, "M3");
  EXPECT_EQ(history.runs.back().model, "M" + std::to_string(kRunsKept + 2));
}

TEST(RunHistory, ComparesTwoRunsFieldByField) {
  RunRecord a = sampleRun();
  RunRecord b = sampleRun();
  b.kind = "build";
  b.accuracy = std::nan("");
  b.positivePatterns = -1;
  NumberFormat comma;
  comma.decimalSeparator = ",";
  const auto rows = compareRuns(a, b, comma);
  ASSERT_EQ(rows.size(), 16u);
  const auto row = [&](const std::string& caption) {
    for (const auto& r : rows) {
      if (r[0] == caption) return r;
    }
    return std::array<std::string, 3>{};
  };
  EXPECT_EQ(row("Run"), (std::array<std::string, 3>{"Run", "apply", "build"}));
  EXPECT_EQ(row("Accuracy"), (std::array<std::string, 3>{"Accuracy", "0,8750", "n/a"}));
  EXPECT_EQ(row("Positive patterns"), (std::array<std::string, 3>{"Positive patterns", "12", "-"}));
  EXPECT_EQ(row("Negative patterns")[1], "9.5");
  EXPECT_EQ(row("Time taken")[1], "1,3 s");
  // The parameters a row each; an apply's, not known, stay empty.
  b.parameters = "grid 6, degree 3, 0.9/0.1/0.05/0.05, class-aware, cover 3";
  a.parameters = "";
  const auto split = compareRuns(a, b, comma);
  const std::vector<std::array<std::string, 3>> expected{{"Grid size", "", "6"},
                                                         {"Degree", "", "3"},
                                                         {"Thresholds", "", "0.9/0.1/0.05/0.05"},
                                                         {"Cut points", "", "class-aware"},
                                                         {"Selection", "", "cover 3"}};
  const std::vector<std::array<std::string, 3>> parameterRows(split.begin() + 4, split.begin() + 9);
  EXPECT_EQ(parameterRows, expected);
  EXPECT_EQ(compareRuns(sampleRun(), b, comma)[7][1], "equal frequency");  // the defaults said
  EXPECT_EQ(compareRuns(sampleRun(), b, comma)[8][1], "keep all");
}
