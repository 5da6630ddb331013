#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "LadError.h"
#include "ModelBuilding.h"
#include "ModelPatterns.h"
#include "ModelSetCheck.h"
#include "NumberText.h"
#include "SampleTable.h"
#include "TempDir.h"

namespace {

class CommandsTest : public TempDirTest {
 protected:
  // Builds the model NAME in the test folder; returns the files in the order reported.
  std::vector<std::string> build(const std::string& table, const std::string& name = "LAD",
                                 const LearningParameters& parameters = {}) {
    std::vector<std::string> reported;
    counts =
        runBuildModel(parameters, table, path(name), [&](ModelFileKind, const std::string& file) {
          // Each file is complete when reported.
          EXPECT_FALSE(read(file).empty()) << file;
          reported.push_back(file);
        });
    return reported;
  }

  struct Applied {
    PatternCounts counts{-1, -1};
    bool cleared = false;
    std::vector<std::string> lines;
    std::string failure;
    std::string warning;
  };
  Applied apply(const std::string& table, const std::string& name = "LAD") {
    Applied applied;
    ApplyReport report;
    report.counts = [&](PatternCounts c) { applied.counts = c; };
    report.forecastCleared = [&] { applied.cleared = true; };
    report.warning = [&](const std::string& text) { applied.warning = text; };
    report.forecastLine = [&](const std::string& line) { applied.lines.push_back(line); };
    try {
      runApplyModel(path(name), table, report, NumberFormat{});
    } catch (const LadError& e) {
      applied.failure = e.what();
    }
    return applied;
  }

  PatternCounts counts;
};

}  // namespace

TEST_F(CommandsTest, BuildThenApplyTheSample) {
  const auto files = build(sampleTable());
  // Each file is reported as it is put in place, NAME.MOD last.
  EXPECT_EQ(files, (std::vector<std::string>{path("LAD.PAT"), path("LAD.DES"), path("LAD.GRD"),
                                             path("LAD.MOD")}));
  EXPECT_EQ(counts.positive, 113);
  EXPECT_EQ(counts.negative, 91);

  const Applied applied = apply(sampleTable());
  EXPECT_EQ(applied.failure, "");
  EXPECT_EQ(applied.counts.positive, 113);
  EXPECT_EQ(applied.counts.negative, 91);
  EXPECT_TRUE(applied.cleared);
  ASSERT_EQ(applied.lines.size(), 16u);
  EXPECT_EQ(applied.lines[0], "Obs1,1,0.649324127200233");
  EXPECT_EQ(applied.lines[1], "Obs2,0,-0.163376446562287");
  EXPECT_EQ(applied.lines[15], "Obs16,0,0.00875230963726542");
}

TEST_F(CommandsTest, BuildingTwiceGivesByteIdenticalFiles) {
  build(sampleTable(), "one");
  build(sampleTable(), "two");
  for (const char* ext : {".MOD", ".PAT", ".DES", ".GRD"}) {
    EXPECT_EQ(read(path(std::string("one") + ext)), read(path(std::string("two") + ext))) << ext;
  }
}

TEST_F(CommandsTest, ApplyEchoesFieldsAndScoresEveryLineOnItsOwn) {
  build("Name,A,B,Class\na,1,1,1\nb,2,2,1\nc,3,3,0\nd,4,4,0");
  const Applied applied = apply("H,A,B,C\nfull,1,1, 1.0 \nshort,2\n\nlast,4,4,0");
  EXPECT_EQ(applied.failure, "");
  ASSERT_EQ(applied.lines.size(), 4u);
  EXPECT_EQ(applied.lines[0].rfind("full, 1.0 ,", 0), 0u);
  // "short" and the empty line hold no values: both score the all-zero point, not the values
  // of the line before them.
  EXPECT_EQ(applied.lines[1], "short,2," + applied.lines[1].substr(8));
  const std::string zeroScore = apply("H,A,B,C\nz,0,0,0").lines.at(0).substr(4);
  EXPECT_EQ(applied.lines[1].substr(8), zeroScore);
  EXPECT_EQ(applied.lines[2], ",," + zeroScore);
}

TEST_F(CommandsTest, ApplyFailures) {
  build(sampleTable());
  const Applied missing = apply(sampleTable(), "nothing");
  EXPECT_EQ(missing.failure.rfind("Cannot open file \"" + path("nothing.MOD") + "\".", 0), 0u)
      << missing.failure;
  EXPECT_EQ(missing.counts.positive, -1);
  EXPECT_FALSE(missing.cleared);

  const Applied noHeader = apply("Name");
  EXPECT_EQ(noHeader.failure, "Range check error");
  EXPECT_EQ(noHeader.counts.positive, 113);
  EXPECT_FALSE(noHeader.cleared);

  const Applied narrow = apply("Name,Attr1,Attr2,Class\nx,1,2,1");
  EXPECT_EQ(narrow.failure,
            "The model's patterns use attribute 6 (Attr6), but the data table has 2 attribute "
            "column(s)");
  EXPECT_FALSE(narrow.cleared);

  const std::string table = sampleTable();
  const std::size_t third = table.find("\nObs3");
  const Applied wide = apply(table.substr(0, third) + "\nObs3,1,2,3,4,5,6,7,1");
  EXPECT_EQ(wide.failure, "Line 4 has 9 fields, but the header has 8");
  EXPECT_EQ(wide.lines.size(), 2u);

  const Applied bad = apply(table.substr(0, third) + "\nObs3,1,x,3,4,5,6,1");
  EXPECT_EQ(bad.failure, "Line 4, column 3: 'x' is not a valid floating point value");
  EXPECT_EQ(bad.lines.size(), 2u);
}

TEST_F(CommandsTest, BuildFailuresKeepWhatWasWrittenBefore) {
  build(sampleTable());
  const std::string oldModel = read(path("LAD.MOD"));

  // Nothing is written when intake fails.
  LearningParameters bad;
  bad.degree = 0;
  EXPECT_THROW(build("N,a,Class\nx,1,1\ny,2,0", "LAD", bad), LadError);
  EXPECT_EQ(read(path("LAD.MOD")), oldModel);

  // The four files are replaced as a set. LAD.PAT cannot be put in place (its name is taken
  // by a folder): nothing is replaced and no temporary file stays.
  const std::string oldGrd = read(path("LAD.GRD"));
  const std::string oldDes = read(path("LAD.DES"));
  std::filesystem::remove(path("LAD.PAT"));
  std::filesystem::create_directory(path("LAD.PAT"));
  const std::string small = "Name,A,Class\nx,1,1\ny,2,0\nz,3,1";
  try {
    build(small);
    FAIL() << "no failure";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot write file \"" + path("LAD.PAT") + "\".", 0), 0u);
    EXPECT_EQ(std::string(e.what()).find("Already replaced"), std::string::npos);
  }
  EXPECT_EQ(read(path("LAD.MOD")), oldModel);
  EXPECT_EQ(read(path("LAD.GRD")), oldGrd);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4);

  // When a rename fails half-way, the message says which files are already new; NAME.MOD,
  // renamed last, is still the old model.
  std::filesystem::remove(path("LAD.PAT"));
  std::filesystem::remove(path("LAD.DES"));
  std::filesystem::create_directory(path("LAD.DES"));
  try {
    build(small);
    FAIL() << "no failure";
  } catch (const EInOutError& e) {
    EXPECT_NE(
        std::string(e.what()).find("\". Is a directory. Already replaced: " + path("LAD.PAT") +
                                   "; the others keep their earlier content."),
        std::string::npos)
        << e.what();
  }
  EXPECT_EQ(read(path("LAD.MOD")), oldModel);
  EXPECT_EQ(read(path("LAD.GRD")), oldGrd);
  std::filesystem::remove(path("LAD.DES"));

  // No such folder.
  EXPECT_THROW(build(sampleTable(), "missing/LAD"), EInOutError);

  // An attribute whose name begins with Class, which the plain form refuses, is read as a
  // table with a class column named Class and keeps its name.
  build("Name,A,ClassX,Class\nx,1,1,1\ny,2,2,0", "short");
  EXPECT_NE(read(path("short.MOD")).find("Attributes=A,ClassX"), std::string::npos);
}

TEST(ModelFiles, NamesOfAChosenModelFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"/data/X.MOD", "X"}, {"A.MODEL.MOD", "A.MODEL"}, {"x.mod", "x.mod"},
      {"/a/b/.MOD", ""},    {"plain", "plain"},         {"dir.MOD/name.MOD", "name"},
  };
  for (const auto& [chosen, name] : cases) EXPECT_EQ(modelNameOfFile(chosen), name) << chosen;
  EXPECT_EQ(modelFileName("", ModelFileKind::Model), ".MOD");
  EXPECT_EQ(modelFileName("m", ModelFileKind::Discretized), "m.GRD");
}

// A model without the patterns of one side still scores, but says so: a file cut short between
// its sides looks just like it.
TEST_F(CommandsTest, OneSidedModelIsAppliedWithAWarning) {
  const std::string head = "Attributes=A\r\nCutpoints_Att_0=1\r\n";
  const std::string table = "Name,A,Class\r\nx,2,1\r\n";
  write(path("pos.MOD"), head + "Pospattern1=1:1:0\r\n");
  const Applied positive = apply(table, "pos");
  EXPECT_EQ(positive.lines, (std::vector<std::string>{"x,1,1"}));
  EXPECT_EQ(positive.warning, "The model " + path("pos.MOD") +
                                  " has no negative patterns, so its scores count only the "
                                  "positive ones; check that the file is complete");
  write(path("none.MOD"), head);
  EXPECT_EQ(apply(table, "none").warning,
            "The model " + path("none.MOD") + " has no patterns: every score is 0");
  build(sampleTable());
  EXPECT_EQ(apply(sampleTable()).warning, "");
}

// NAME.MOD cut exactly at a line end reads as a smaller model; the header of NAME.PAT beside
// it names every pattern, so Apply, the Patterns tab and Load Model say that they disagree.
TEST_F(CommandsTest, AModelCutAtALineEndIsToldByItsPatternSpace) {
  build(sampleTable());
  EXPECT_EQ(modelSetMismatch(path("LAD")), "");
  std::string model = read(path("LAD.MOD"));
  for (int line = 0; line < 30; ++line) model.erase(model.rfind('\n', model.size() - 2) + 1);
  write(path("LAD.MOD"), model);
  const std::string expected =
      "The model " + path("LAD.MOD") + " holds 113 positive and 61 negative patterns, but " +
      path("LAD.PAT") +
      " beside it names 113 positive and 91 negative patterns: " + path("LAD.MOD") +
      " may be cut short, or the files come from different builds";
  const Applied applied = apply(sampleTable());
  EXPECT_EQ(applied.warning, expected);
  EXPECT_EQ(applied.lines.size(), 16u);
  EXPECT_EQ(modelSetMismatch(path("LAD")), expected);
  const ModelPatterns patterns = modelPatterns(path("LAD"), sampleTable(), NumberFormat{}, "t");
  EXPECT_EQ(patterns.note.rfind(expected + ". 174 patterns", 0), 0u) << patterns.note;

  // Without NAME.PAT there is nothing to compare with.
  std::filesystem::remove(path("LAD.PAT"));
  EXPECT_EQ(apply(sampleTable()).warning, "");
}

TEST_F(CommandsTest, EmptyModelNamesAreRefused) {
  for (const std::string& name : {std::string(), dir.string() + "/"}) {
    try {
      runBuildModel(LearningParameters{}, sampleTable(), name, nullptr);
      ADD_FAILURE() << "built " << name;
    } catch (const LadError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("The model name is empty", 0), 0u) << e.what();
    }
    EXPECT_THROW(runApplyModel(name, sampleTable(), ApplyReport{}, NumberFormat{}), LadError);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 0);
}

// Values written with 17 digits that equal a cutpoint fall in the same bin when the stored
// model is applied as in the build: the cutpoints are stored exactly.
TEST_F(CommandsTest, StoredModelScoresAsTheBuiltOne) {
  const std::string table =
      "Name,A,B,Class\n"
      "a,0.1,0.30000000000000004,1\nb,0.30000000000000004,0.3,1\nc,0.3,0.7,0\n"
      "d,0.7,0.30000000000000004,0\ne,0.30000000000000004,0.9,1\nf,0.9,0.1,0\n"
      "g,0.30000000000000004,0.30000000000000004,1\nh,0.3,0.3,0\n";
  LearningParameters parameters;
  parameters.gridSize = 4;
  parameters.degree = 1;
  build(table, "LAD", parameters);
  EXPECT_NE(read(path("LAD.MOD")).find("0.30000000000000004"), std::string::npos);
  const TrainingTable training = intake(parameters, table, NumberFormat{});
  const Model built = buildModel(training, parameters);
  const Applied applied = apply(table);
  ASSERT_EQ(applied.lines.size(), training.rows());
  for (std::size_t r = 0; r < training.rows(); ++r) {
    const std::string score = numberText(built.score(training.values()[r]), NumberFormat{});
    EXPECT_EQ(applied.lines[r].substr(applied.lines[r].rfind(',') + 1), score) << r;
  }
}

// A model that cannot tell the classes apart is built, with advice on what to change.
TEST_F(CommandsTest, UselessModelsComeWithAdvice) {
  const std::string table =
      "Name,A,B,Class\nx,1,5,1\ny,2,4,0\nz,3,3,0\nw,4,2,0\nv,5,1,1\nu,6,0,0\n";
  std::string said;
  BuildOptions options;
  options.warning = [&](const std::string& text) { said = text; };
  runBuildModel(LearningParameters{}, table, path("M"), nullptr, options);
  EXPECT_EQ(said, "Negative Homogeneity 0.4 lets one box cover all 6 observations; try 0.3.");

  said.clear();
  runBuildModel({8, 2, 0.99, 0.9, 0.01, 0.9}, table, path("M"), nullptr, options);
  EXPECT_EQ(said,
            "No positive pattern was found; try a Positive Homogeneity below 0.99 or a Positive "
            "Prevalence below 0.9. No negative pattern was found; try a Negative Homogeneity "
            "above 0.01 or a Negative Prevalence below 0.9.");

  said.clear();
  runBuildModel(LearningParameters{}, sampleTable(), path("M"), nullptr, options);
  EXPECT_EQ(said, "");
}
