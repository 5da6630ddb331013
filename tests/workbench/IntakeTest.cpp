#include <gtest/gtest.h>

#include "Intake.h"
#include "LadError.h"
#include "NumberText.h"
#include "SampleTable.h"

namespace {

// Reads the parameter texts as a front end does, then the table.
std::string failure(const ParameterTexts& parameters, const std::string& table,
                    const NumberFormat& format = {}) {
  try {
    intake(readParameters(parameters, format), table, format);
  } catch (const LadError& e) {
    return e.what();
  }
  return "no failure";
}

std::string failure(const std::string& table, const NumberFormat& format = {}) {
  return failure(ParameterTexts{}, table, format);
}

}  // namespace

TEST(Intake, SampleTable) {
  const TrainingTable table = intake(LearningParameters{}, sampleTable(), NumberFormat{});
  EXPECT_EQ(table.attributeLine(), "Attr1,Attr2,Attr3,Attr4,Attr5,Attr6");
  EXPECT_EQ(table.columns(), 6u);
  ASSERT_EQ(table.values().size(), 16u);
  EXPECT_EQ(table.values()[0], (arrreal{0.069911099, -0.040240716, -0.134972679, -0.09235952,
                                      0.226337331, -0.294350809}));
  EXPECT_EQ(table.classes(), (arrint{1, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 0}));
  EXPECT_EQ(table.positives(), 8);
  EXPECT_EQ(table.negatives(), 8);

  // One final line break reads like none; CR LF ends read like LF.
  EXPECT_EQ(intake(LearningParameters{}, sampleTable() + "\n", NumberFormat{}).values(), table.values());
  std::string crlf;
  for (char c : sampleTable()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(intake(LearningParameters{}, crlf, NumberFormat{}).classes(), table.classes());
}

TEST(Intake, FieldRules) {
  auto shortLine = intake(LearningParameters{}, "N,a,b,c,d,e,f,Class\nx,0.1,0.2,1", NumberFormat{});
  EXPECT_EQ(shortLine.values()[0], (arrreal{0.1, 0.2, 0, 0, 0, 0}));
  EXPECT_EQ(shortLine.classes()[0], 1);

  const std::pair<const char*, std::int32_t> classes[] = {{"1", 1},    {"1.0", 1}, {"1.9", 1},
                                                          {" 1 ", 1},  {"0", 0},   {"0.99", 0},
                                                          {"-0.5", 0}, {"2", 2},   {"-1", -1}};
  for (const auto& [field, value] : classes) {
    auto model =
        intake(LearningParameters{}, std::string("N,a,Class\nx, 0.5 ,") + field, NumberFormat{});
    EXPECT_EQ(model.classes()[0], value) << field;
    EXPECT_EQ(model.values()[0][0], 0.5);
  }

  // A line without "," is only a class.
  EXPECT_EQ(intake(LearningParameters{}, "N,a,Class\n1", NumberFormat{}).classes()[0], 1);

  const std::pair<const char*, const char*> headers[] = {
      {"Name,A,B,Outcome\nx,1,1,1", "A,B,Outcome"},
      {"Name,A,B,Class\nx,1,1,1", "A,B"},
  };
  for (const auto& [table, attributes] : headers) {
    EXPECT_EQ(intake(LearningParameters{}, table, NumberFormat{}).attributeLine(), attributes);
  }
  // One empty last line is left out.
  EXPECT_EQ(intake(LearningParameters{}, "Name,A,Class\nx,1,1\n\n", NumberFormat{}).values().size(),
            1u);
}

// Out of range, a build would write an empty or meaningless model as a success: refused,
// naming the parameter.
TEST(Intake, ParameterRangesAreRefused) {
  const struct {
    ParameterTexts parameters;
    ParameterField field;
    std::string message;
  } cases[] = {
      {{"0", "2", "0.6", "0.1", "0.4", "0.1"},
       ParameterField::GridSize,
       "Grid Size: must be at least 1 (it is '0')"},
      {{"8", "two", "0.6", "0.1", "0.4", "0.1"},
       ParameterField::Degree,
       "Degree: must be at least 1 (it is 'two')"},
      {{"8", "2", "1.5", "0.1", "0.4", "0.1"},
       ParameterField::PositiveHomogeneity,
       "Positive Homogeneity: must lie between 0 and 1 (it is 1.5)"},
      {{"8", "2", "0.6", "-0.1", "0.4", "0.1"},
       ParameterField::PositivePrevalence,
       "Positive Prevalence: must lie between 0 and 1 (it is -0.1)"},
      {{"8", "2", "0.6", "0.1", "2", "0.1"},
       ParameterField::NegativeHomogeneity,
       "Negative Homogeneity: must lie between 0 and 1 (it is 2)"},
      {{"8", "2", "0.6", "0.1", "0.4", "x"},
       ParameterField::NegativePrevalence,
       "Negative Prevalence: 'x' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    try {
      readParameters(c.parameters, NumberFormat{});
      ADD_FAILURE() << c.message;
    } catch (const ParameterError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
      EXPECT_EQ(e.field, c.field);
    }
  }
  // The ends of the ranges are taken.
  auto model = intake(readParameters({"1", "1", "0", "1", "1", "0"}, NumberFormat{}),
                      "N,a,Class\nx,1,1", NumberFormat{});
  EXPECT_EQ(model.columns(), 1u);
}

TEST(Intake, FailuresInOrder) {
  ParameterTexts badFirst;
  badFirst.positiveHomogeneity = "0,6";
  badFirst.negativePrevalence = "x";
  EXPECT_EQ(failure(badFirst, ""),
            "Positive Homogeneity: '0,6' is not a valid floating point value");
  ParameterTexts badLast;
  badLast.negativePrevalence = "";
  EXPECT_EQ(failure(badLast, sampleTable()),
            "Negative Prevalence: '' is not a valid floating point value");

  const std::pair<std::string, std::string> cases[] = {
      {"", "The data table is empty"},
      {"\n", "The data table is empty"},
      {"Name only\nx,1", "Range check error"},
      {"Name,Class\nx,1",
       "The header has no attribute column: a table needs a name column, at least one attribute "
       "and the class column"},
      {"Name,A,Classification\nx,1,1",
       "Column 3 of the header is named 'Classification'; no column may have a name that begins "
       "with \"Class\" unless it is the class column named \"Class\""},
      // A control character in a name could end a line or a quoted name in exported code.
      {std::string("Name,A,n\0, IS NULL THEN 1 END;DROP TABLE t;--,Class\nx,1,2,1", 59),
       "Column 3 of the header holds the control character 0x00 after 'n'; a name may hold no "
       "control characters (bytes 0x00 to 0x1F and 0x7F)"},
      {"Name,\tA,Class\nx,1,1",
       "Column 2 of the header holds the control character 0x09 as its first byte; a name may "
       "hold no control characters (bytes 0x00 to 0x1F and 0x7F)"},
      {"Name,A\x7F,Class\nx,1,1",
       "Column 2 of the header holds the control character 0x7F after 'A'; a name may hold no "
       "control characters (bytes 0x00 to 0x1F and 0x7F)"},
      {"Name,A,Class", "The data table has a header but no observation lines"},
      {"Name,A,Class\n", "The data table has a header but no observation lines"},
      {"Name,A,Class\nx,1,1\n\n\n", "Line 3, column 1: '' is not a valid floating point value"},
      {"Name,A,Class\nx,1,1\n\ny,2,0", "Line 3, column 1: '' is not a valid floating point value"},
      {"Name,A,Class\nonly a name",
       "Line 2, column 1: 'only a name' is not a valid floating point value"},
      {"Name,A,Class\nx,\t1,1", "Line 2, column 2: '\t1' is not a valid floating point value"},
      {"Name,A,Class\nx,1," + std::string(100, '7') + "x",
       "Line 2, column 3: '" + std::string(60, '7') +
           "...' (101 characters) is not a valid floating point value"},
      {std::string("Name,A,Class\nx,1\0002,1", 18),
       "Line 2, column 2: '1\\02' is not a valid floating point value"},
      {"Name,A,Class\nx,1,1\ny,2,0,9", "Line 3 has 4 fields, but the header has 3"},
      {"Name,A,Class\nx,1,1e12", "Line 2: the class '1e12' is out of range"},
  };
  for (const auto& [table, message] : cases) EXPECT_EQ(failure(table), message) << table;
}

TEST(Intake, CommaDecimalSeparatorRefusesTheSample) {
  const NumberFormat comma{","};
  EXPECT_EQ(failure(sampleTable(), comma),
            "Positive Homogeneity: '0.6' is not a valid floating point value");
  ParameterTexts commaTexts{"8", "2", "0,6", "0,1", "0,4", "0,1"};
  EXPECT_EQ(failure(commaTexts, sampleTable(), comma),
            "Line 2, column 2: '0.069911099' is not a valid floating point value");
}
