#include <gtest/gtest.h>

#include "LadError.h"
#include "TLAD.h"
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
  TLAD load(const std::string& content) {
    write(path("m.MOD"), content);
    TLAD model;
    model.Load(path("m.MOD"));
    return model;
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
  TLAD model = load(kExample);
  EXPECT_EQ(model.attributes, "A,B,C");
  EXPECT_EQ(model.attList->keys, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(model.pospandect->keys(), (std::vector<std::string>{",>=1.5 & <4.25,,<20"}));
  EXPECT_EQ(model.negpandect->keys(), (std::vector<std::string>{",>=3,<0.2,"}));
  EXPECT_FALSE(model.pospandect->sorted);
  model.save(path("again.MOD"));
  EXPECT_EQ(read(path("again.MOD")), kExample);
}

TEST_F(ModelFileTest, ByteOrderMarkIsSkipped) {
  TLAD model = load(std::string("\xEF\xBB\xBF") + kExample);
  EXPECT_EQ(model.attributes, "A,B,C");
  EXPECT_EQ(model.pospandect->size(), 1);
}

TEST_F(ModelFileTest, ModelWithoutCutpointsOrPatternsRoundTrips) {
  TLAD model({8, 1, 0, 0, 0, 0});
  model.attributes = "A,B";
  model.cutpoints = {{}, {3}};
  model.pospandect = std::make_unique<TPandect>();
  model.negpandect = std::make_unique<TPandect>();
  model.save(path("empty.MOD"));
  EXPECT_EQ(read(path("empty.MOD")), "Attributes=A,B\r\nCutpoints_Att_0=\r\nCutpoints_Att_1=3\r\n");
  TLAD back;
  back.Load(path("empty.MOD"));
  EXPECT_EQ(back.cutpoints, (matreal{{}, {3}}));
  EXPECT_EQ(back.pospandect->size(), 0);
  EXPECT_EQ(back.getIndex({1, 1}, -1), 0.0);
}

// A damaged, cut or foreign file is refused, naming the line and what is wrong, and the model
// keeps what it held.
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
    write(path("m.MOD"), c.content);
    TLAD model;
    model.cutpoints = {{7}};
    try {
      model.Load(path("m.MOD"));
      ADD_FAILURE() << "loaded: " << c.content;
    } catch (const LadError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(path("m.MOD") + ", " + c.message, 0), 0u) << message;
    }
    EXPECT_EQ(model.cutpoints, (matreal{{7}}));
    EXPECT_EQ(model.pospandect, nullptr);
  }
}

TEST_F(ModelFileTest, MissingFileLeavesTheModelAsItWas) {
  TLAD model;
  model.cutpoints = {{1}};
  EXPECT_THROW(model.Load(path("none.MOD")), EInOutError);
  EXPECT_EQ(model.cutpoints, (matreal{{1}}));
  EXPECT_EQ(model.pospandect, nullptr);
}

TEST_F(ModelFileTest, ReportsOfTheExample) {
  TLAD model = load(kExample);
  model.data = {{2, 0.5, 15}, {4.5, 0.1, 12}, {1, 0.5, 25}};
  model.classvector = {1, 0, 2};
  model.datagrid = {{1, 2, 0}, {3, 0, 1}, {0, 1, 2}};
  model.savepatternspace(path("m.PAT"));
  model.savepatterndesc(path("m.DES"));
  model.savedatagrid(path("m.GRD"));
  EXPECT_EQ(read(path("m.PAT")), "Pattern,P1,N1\r\nObs_1,1,0\r\nObs_2,0,1\r\nObs_3,0,0\r\n");
  EXPECT_EQ(read(path("m.DES")), ",A,B,C\r\nP1,>=1.5 & <4.25,,<20\r\nN1,>=3,<0.2,\r\n");
  EXPECT_EQ(read(path("m.GRD")), ",A,B,C\r\nObs_1,1,2,0\r\nObs_2,3,0,1\r\nObs_3,0,1,2\r\n");

  // Labels already held are kept; a model without patterns has bare label lines.
  TLAD bare = load("Attributes=A\nCutpoints_Att_0=1\n");
  bare.data = {{0}, {2}};
  bare.classvector = {1, 0};
  bare.labels = {"first", "second"};
  bare.savepatternspace(path("b.PAT"));
  bare.savepatterndesc(path("b.DES"));
  EXPECT_EQ(read(path("b.PAT")), "Pattern\r\nfirst\r\nsecond\r\n");
  EXPECT_EQ(read(path("b.DES")), ",A\r\n");
}
