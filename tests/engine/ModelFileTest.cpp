#include <gtest/gtest.h>

#include "GeneratedTable.h"
#include "Intake.h"
#include "LadError.h"
#include "ModelBuilding.h"
#include "ModelFile.h"
#include "ModelReports.h"
#include "SampleTable.h"
#include "SubsetSweep.h"
#include "TempDir.h"

namespace {

const char* const kExample =
    "Attributes=A,B,C\r\n"
    "Cutpoints_Att_0=1.5,3,4.25\r\n"
    "Cutpoints_Att_1=0.2,0.7\r\n"
    "Cutpoints_Att_2=10,20\r\n"
    "Pospattern1=1:2:0,0:1:2\r\n"
    "Negpattern1=2:3:0,0:0:1\r\n";

class ModelFileTest : public TempDirTest {
 protected:
  Model load(const std::string& content) {
    write(path("m.MOD"), content);
    return readModelFile(path("m.MOD"), NumberFormat{});
  }
  // Writes one file by one of the writers and returns its text.
  template <class Write>
  std::string written(const std::string& name, Write write) {
    LineFileWriter out(path(name));
    write(out);
    out.commit();
    return read(path(name));
  }
  std::string loadFailure(const std::string& content) {
    try {
      load(content);
    } catch (const LadError& e) {
      return e.what();
    }
    return "no failure";
  }
};

}  // namespace

TEST_F(ModelFileTest, ExampleRoundTrip) {
  const Model model = load(kExample);
  EXPECT_EQ(model.attributeLine(), "A,B,C");
  EXPECT_EQ(model.attributeNames(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(model.positive().keys(), (std::vector<std::string>{",>=1.5 & <4.25,,<20"}));
  EXPECT_EQ(model.negative().keys(), (std::vector<std::string>{",>=3,<0.2,"}));
  EXPECT_FALSE(model.positive().isSorted());
  EXPECT_EQ(written("again.MOD", [&](LineFileWriter& out) { writeModelFile(model, out); }),
            kExample);
}

TEST_F(ModelFileTest, ByteOrderMarkIsSkipped) {
  const Model model = load(std::string("\xEF\xBB\xBF") + kExample);
  EXPECT_EQ(model.attributeLine(), "A,B,C");
  EXPECT_EQ(model.positive().size(), 1);
}

TEST_F(ModelFileTest, ModelWithoutCutpointsOrPatternsRoundTrips) {
  const Model model({"A", "B"}, CutpointGrid({{}, {3}}), PatternSet(), PatternSet(),
                    NumberFormat{});
  EXPECT_EQ(written("empty.MOD", [&](LineFileWriter& out) { writeModelFile(model, out); }),
            "Attributes=A,B\r\nCutpoints_Att_0=\r\nCutpoints_Att_1=3\r\n");
  const Model back = readModelFile(path("empty.MOD"), NumberFormat{});
  EXPECT_EQ(back.cutpoints(), (matreal{{}, {3}}));
  EXPECT_EQ(back.positive().size(), 0);
  EXPECT_EQ(back.score(arrreal{1, 1}), 0.0);
}

// A damaged, cut or foreign file is refused, naming the line and what is wrong.
TEST_F(ModelFileTest, DamagedFilesAreRefusedNamingTheLine) {
  const std::string head = "Attributes=A,B\nCutpoints_Att_0=1,2\nCutpoints_Att_1=5\n";
  const struct {
    std::string content;
    std::string message;
  } cases[] = {
      {"", "line 1: the file is empty; a model begins with an \"Attributes\" line"},
      {std::string(5000, '\0'), "line 1: a model begins with an \"Attributes\" line, not '\\0\\0"},
      {"\xFF\xFE"
       "A\0t\0t\0",
       "line 1: a model begins with an \"Attributes\" line, not"},
      {"Attributes=A,B\rCutpoints_Att_0=1\rCutpoints_Att_1=5\r",
       "line 2: expected the line \"Cutpoints_Att_0\", not the end of the file"},
      {"Pospattern1=0:1:0\nAttributes=A\n", "line 1: a model begins with an \"Attributes\" line"},
      {"Attributes=A,B\nCutpoints_Att_1=1\nCutpoints_Att_0=2\n",
       "line 2: expected the line \"Cutpoints_Att_0\", not 'Cutpoints_Att_1'"},
      {"Attributes=A,B\nCutpoints_Att_0=1\nCutpoints_Att_0=2\n",
       "line 3: expected the line \"Cutpoints_Att_1\", not 'Cutpoints_Att_0'"},
      {"Attributes=A\nCutpoints_Att_0=1\nCutpoints_Att_1=2\n",
       "line 3: more \"Cutpoints\" lines than the 1 attribute(s) of the \"Attributes\" line"},
      {"Attributes=A\nCutpoints_Att_0=2,1\n",
       "line 2: the cutpoints are not in ascending order (1 after 2)"},
      {"Attributes=A\nCutpoints_Att_0=1,1\n",
       "line 2: the cutpoints are not in ascending order (1 after 1)"},
      {head + "anything else\n", "line 4: this is not a line of a model file: 'anything else'"},
      {head + "Pospattern1=0:1:0\nNegpa", "line 5: this is not a line of a model file: 'Negpa'"},
      {head + "Pospattern2=0:1:0\n", "line 4: expected the pattern \"Pospattern1\", not"},
      {head + "Pospattern=0:1:0\n", "line 4: expected the pattern \"Pospattern1\", not"},
      {head + "Negpattern1=0:1:0\nPospattern1=0:1:0\n",
       "line 5: a positive pattern after the negative ones"},
      {head + "Pospattern1=0:1:0\nCutpoints_Att_2=1\n",
       "line 5: a \"Cutpoints\" line after the patterns"},
      {head + "Pospattern1=0:1\n",
       "line 4: the pattern coordinate '0:1' does not have the three parts "
       "lower bin:upper bin:attribute"},
      {head + "Pospattern1=\n", "line 4: the pattern coordinate '' does not have"},
      {head + "Negpattern1=0:3:0\n",
       "line 4: the bins 0 to 3 of attribute 0 lie outside its bins 0 to 2"},
      {head + "Negpattern1=-1:1:0\n", "line 4: the bins -1 to 1 of attribute 0"},
      {head + "Negpattern1=2:1:0\n", "line 4: the bins 2 to 1 of attribute 0"},
      {head + "Pospattern1=0:1:2\n",
       "line 4: the pattern names attribute 2, but the file has 2 \"Cutpoints\" line(s)"},
      {"Attributes=A,B\nCutpoints_Att_0=1\nPospattern1=0:1:1\n",
       "line 3: the pattern names attribute 1, but the file has 1 \"Cutpoints\" line(s)"},
      {head + "Pospattern1=0:x:1\n", "line 4: 'x' is not a valid integer value"},
      {"Attributes=A\nCutpoints_Att_0=1,,2\n", "line 2: '' is not a valid floating point value"},
      {"Attributes=A\nCutpoints_Att_0=1;2\n", "line 2: '1;2' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    const std::string message = loadFailure(c.content);
    EXPECT_EQ(message.rfind(path("m.MOD") + ", " + c.message, 0), 0u) << message;
  }
}

// The pattern space is formatted in pieces on several threads: pieces of one or a few words
// of a row, a row's last piece cut short, and any thread count give the same bytes.
TEST_F(ModelFileTest, PatternSpaceInPiecesOnSeveralThreads) {
  const TrainingTable table = intake(LearningParameters{}, sampleTable(), NumberFormat{});
  const Model model = buildModel(table, LearningParameters{});
  ASSERT_GT(model.positive().size() + model.negative().size(), 130);  // more than two words
  ASSERT_NE((model.positive().size() + model.negative().size()) % 64, 0);
  const std::string whole =
      written("w.PAT", [&](LineFileWriter& out) { writePatternSpace(model, table, out); });
  EXPECT_EQ(whole.rfind("Pattern,P1,P2,", 0), 0u);
  for (const int threads : {1, 2, 3}) {
    for (const std::size_t segment : {1, 128, 256, 384}) {
      runWithThreads(threads, [&] {
        EXPECT_EQ(
            written("s.PAT",
                    [&](LineFileWriter& out) { writePatternSpace(model, table, out, segment); }),
            whole)
            << threads << " threads, pieces of " << segment;
      });
    }
  }
}

// A table of more rows than are covered at a time: every row of the pattern space, in every
// block of rows and across their boundaries, holds what the box test says of it.
TEST_F(ModelFileTest, PatternSpaceOfManyRowsIsWhatTheBoxesSay) {
  const LearningParameters parameters{4, 2, 0.7, 0.1, 0.3, 0.1};
  const TrainingTable table = intake(parameters, generatedTable(150, 5, 11), NumberFormat{});
  const Model model = buildModel(table, parameters);
  std::string expected = "Pattern";
  for (std::int32_t j = 1; j <= model.positive().size(); ++j) expected += ",P" + std::to_string(j);
  for (std::int32_t j = 1; j <= model.negative().size(); ++j) expected += ",N" + std::to_string(j);
  expected += "\r\n";
  for (std::size_t r = 0; r < table.rows(); ++r) {
    expected += observationName(r);
    for (const PatternSet* side : {&model.positive(), &model.negative()}) {
      for (std::int32_t i = 0; i < side->size(); ++i) {
        expected += boxHolds(side->pattern(i), model.cutpoints(), table.values()[r]) ? ",1" : ",0";
      }
    }
    expected += "\r\n";
  }
  EXPECT_EQ(written("m.PAT", [&](LineFileWriter& out) { writePatternSpace(model, table, out); }),
            expected);
}

TEST_F(ModelFileTest, MissingFileIsAnInputOutputError) {
  EXPECT_THROW(readModelFile(path("none.MOD"), NumberFormat{}), EInOutError);
}

TEST_F(ModelFileTest, ReportsOfTheExample) {
  const Model model = load(kExample);
  TrainingTable table("A,B,C", {{2, 0.5, 15}, {4.5, 0.1, 12}, {1, 0.5, 25}}, {1, 0, 2},
                      NumberFormat{});
  EXPECT_EQ(written("m.PAT", [&](LineFileWriter& out) { writePatternSpace(model, table, out); }),
            "Pattern,P1,N1\r\nObs_1,1,0\r\nObs_2,0,1\r\nObs_3,0,0\r\n");
  EXPECT_EQ(written("m.DES", [&](LineFileWriter& out) { writeDescriptions(model, out); }),
            ",A,B,C\r\nP1,>=1.5 & <4.25,,<20\r\nN1,>=3,<0.2,\r\n");
  EXPECT_EQ(
      written("m.GRD", [&](LineFileWriter& out) { writeDiscretizedTable(model, table, out); }),
      ",A,B,C\r\nObs_1,1,1,1\r\nObs_2,3,0,1\r\nObs_3,0,1,2\r\n");

  // A model without patterns has bare name lines.
  const Model bare = load("Attributes=A\nCutpoints_Att_0=1\n");
  table = TrainingTable("A", {{0}, {2}}, {1, 0}, NumberFormat{});
  EXPECT_EQ(written("b.PAT", [&](LineFileWriter& out) { writePatternSpace(bare, table, out); }),
            "Pattern\r\nObs_1\r\nObs_2\r\n");
  EXPECT_EQ(written("b.DES", [&](LineFileWriter& out) { writeDescriptions(bare, out); }), ",A\r\n");
}
