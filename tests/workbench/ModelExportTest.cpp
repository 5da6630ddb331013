// Exported code: its numbers read back exactly, its names and comments cannot break out of
// their quotes, and what an export cannot express is refused. (The code is run for real by
// tests/cli/export_test.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "CodeText.h"
#include "LadError.h"
#include "ModelExport.h"
#include "TempDir.h"

namespace {

const std::vector<double> kValues = {0.0025,  -0.294350809, 0.1,     12.0,
                                     -0.5,    0.375,        1E-5,    1e300,
                                     -1e-300, 5e-324,       DBL_MAX, 9007199254740993.0,
                                     1048576, 3.0e-17,      -7.0,    9007199254740994.0 * 4};

// The value of an SQL literal of sqlRealLiteral's two forms, computed exactly as an SQL engine
// computes it: a short decimal read by strtod, or CAST(m) followed by "/ 2^k" and "* 2^k" steps.
double sqlValue(const std::string& text) {
  if (text.rfind("(CAST(", 0) != 0) return std::strtod(text.c_str(), nullptr);
  char* end = nullptr;
  double value = static_cast<double>(std::strtoll(text.c_str() + 6, &end, 10));
  std::string rest(end);
  EXPECT_EQ(rest.rfind(" AS DOUBLE PRECISION)", 0), 0u) << text;
  rest.erase(0, 21);
  while (rest != ")") {
    const char op = rest[1];
    const long long power = std::strtoll(rest.c_str() + 3, &end, 10);
    EXPECT_EQ(power & (power - 1), 0) << text;  // a power of 2
    value = op == '/' ? value / static_cast<double>(power) : value * static_cast<double>(power);
    rest = end;
  }
  return value;
}

}  // namespace

TEST(CodeText, NumbersReadBackExactly) {
  for (const double v : kValues) {
    SCOPED_TRACE(v);
    EXPECT_EQ(std::strtod(decimalLiteral(v).c_str(), nullptr), v) << decimalLiteral(v);
    EXPECT_EQ(std::strtod(hexLiteral(v).c_str(), nullptr), v) << hexLiteral(v);
    EXPECT_EQ(sqlValue(sqlRealLiteral(v)), v) << sqlRealLiteral(v);
  }
  // Short exact decimals stay readable; a decimal fraction that binary cannot hold does not.
  EXPECT_EQ(sqlRealLiteral(0.375), "0.375");
  EXPECT_EQ(sqlRealLiteral(-12.0), "-12.0");
  EXPECT_EQ(sqlRealLiteral(1048576), "1048576.0");
  EXPECT_EQ(sqlRealLiteral(0.1),
            "(CAST(3602879701896397 AS DOUBLE PRECISION) / 36028797018963968)");
  EXPECT_EQ(sqlRealLiteral(9007199254740994.0 * 4),
            "(CAST(4503599627370497 AS DOUBLE PRECISION) * 8)");
  EXPECT_EQ(hexLiteral(-0.5), "-0x1p-1");
  EXPECT_EQ(decimalLiteral(0.0025), "0.0025");
  EXPECT_EQ(decimalLiteral(1E-5), "1E-5");
}

TEST(CodeText, NamesAndComments) {
  EXPECT_EQ(pythonString("a\"b\\c\x01\xC3\xA9"), "\"a\\\"b\\\\c\\x01\xC3\xA9\"");
  EXPECT_THROW(pythonString("bad \xC3"), LadError);
  EXPECT_THROW(pythonString("\xED\xA0\x80"), LadError);  // a surrogate
  EXPECT_EQ(cString("a\"b?\\\n\xC3\xA9"), "\"a\\\"b\\077\\\\\\012\\303\\251\"");
  EXPECT_EQ(sqlIdentifier("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(sqlString("it's"), "'it''s'");
  EXPECT_EQ(pythonDocText("a\\N\"\"\"\t\xC3\xA9"), "a\\\\N\\\"\\\"\\\"?\xC3\xA9");
  EXPECT_EQ(pythonDocText("bad \xC3"), "bad ?");
  EXPECT_EQ(commentText("a*/b/*c\r\nd"), "a* /b/ *c??d");
}

class ModelExportTest : public TempDirTest {
 protected:
  ModelRules modelOf(const std::string& modText) {
    write(path("M.MOD"), modText);
    return ModelRules(loadModel(path("M"), NumberFormat{}), NumberFormat{});
  }
};

TEST_F(ModelExportTest, WhatAnExportCannotExpressIsRefused) {
  const ModelRules twins = modelOf(
      "Attributes=A,A\r\nCutpoints_Att_0=1\r\nCutpoints_Att_1=1\r\nPospattern1=0:0:0,1:1:1\r\n");
  EXPECT_THROW(exportedCode(twins, ExportLanguage::Python, "M"), LadError);
  EXPECT_THROW(exportedCode(twins, ExportLanguage::Sql, "M"), LadError);
  EXPECT_NO_THROW(exportedCode(twins, ExportLanguage::C, "M"));  // C reads by position

  const ModelRules unnamed =
      modelOf("Attributes=,B\r\nCutpoints_Att_0=1\r\nCutpoints_Att_1=1\r\nPospattern1=0:0:0\r\n");
  EXPECT_THROW(exportedCode(unnamed, ExportLanguage::Sql, "M"), LadError);
  EXPECT_NO_THROW(exportedCode(unnamed, ExportLanguage::Python, "M"));

  // A model file written by hand can hold names that a table cannot: Python and C escape them,
  // SQL, which has no escape for them in a quoted name, refuses them.
  const ModelRules controls =
      modelOf(std::string("Attributes=n\0\" OR 1;--,B\tC\r\nCutpoints_Att_0=1\r\n", 47) +
              "Cutpoints_Att_1=1\r\nPospattern1=0:0:0,1:1:1\r\n");
  for (const ExportLanguage language : {ExportLanguage::Python, ExportLanguage::C}) {
    const std::string code = exportedCode(controls, language, std::string("M\0\n*/", 5));
    EXPECT_EQ(code.find_first_of(std::string("\0\t\r", 3)), std::string::npos) << code;
  }
  EXPECT_NE(exportedCode(controls, ExportLanguage::Python, "M").find("row[\"n\\x00\\\" OR 1;--\"]"),
            std::string::npos);
  EXPECT_NE(exportedCode(controls, ExportLanguage::C, "M").find("\"n\\000\\\" OR 1;--\","),
            std::string::npos);
  try {
    exportedCode(controls, ExportLanguage::Sql, "M");
    ADD_FAILURE() << "a NUL in an SQL name was exported";
  } catch (const LadError& e) {
    EXPECT_STREQ(e.what(),
                 "The name of attribute 1 of the model holds the control character 0x00 after "
                 "'n', which no SQL column name can hold");
  }

  EXPECT_EQ(exportLanguage("sql"), ExportLanguage::Sql);
  EXPECT_THROW(exportLanguage("java"), LadError);
}

// A model without patterns scores 0; one without conditions counts every row.
TEST_F(ModelExportTest, ModelsWithoutPatternsOrConditions) {
  const ModelRules empty = modelOf("Attributes=A\r\nCutpoints_Att_0=1\r\n");
  EXPECT_NE(exportedCode(empty, ExportLanguage::Python, "M").find("    return 0.0\n"),
            std::string::npos);
  EXPECT_NE(exportedCode(empty, ExportLanguage::C, "M").find("    return 0.0;\n"),
            std::string::npos);
  EXPECT_EQ(exportedCode(empty, ExportLanguage::Sql, "M")
                .substr(exportedCode(empty, ExportLanguage::Sql, "M").rfind("*/\n")),
            "*/\n0.0\n");
  const ModelRules always = modelOf("Attributes=A\r\nCutpoints_Att_0=1\r\nPospattern1=0:1:0\r\n");
  EXPECT_NE(exportedCode(always, ExportLanguage::Python, "M")
                .find("    if True:  # P1: (no condition)\n"),
            std::string::npos);
  EXPECT_NE(exportedCode(always, ExportLanguage::Sql, "M").find("1 /* P1: (no condition) */"),
            std::string::npos);
}

// A model of a table with categories whose layout cannot be expressed, or does not belong to
// it, is refused before anything is written, with what is wrong.
TEST_F(ModelExportTest, TableExportRefusals) {
  const std::string patterns =
      "\r\nCutpoints_Att_0=0.5\r\nCutpoints_Att_1=0.5\r\n"
      "Cutpoints_Att_2=1\r\nPospattern1=1:1:0,1:1:2\r\nNegpattern1=0:0:1\r\n";
  struct Case {
    std::string attributes;
    std::vector<std::string> columns, values, missing;
    std::vector<ExportLanguage> refusing;
    std::string message;  // of the first refusing language
  };
  const std::vector<ExportLanguage> all = {ExportLanguage::Python, ExportLanguage::C,
                                           ExportLanguage::Sql};
  const std::vector<Case> cases = {
      {"c=a,c=b,w", {"c", "c", "w"}, {"a", "b", ""}, {"", "?"}, {}, ""},
      {"c=a,c=b,w",
       {"c", "d", "w"},
       {"a", "b", ""},
       {},
       all,
       "Attribute 2 of the model is named 'c=b', but the table layout beside it (NAME.TBL) "
       "makes it 'd=b'; the layout belongs to another model: build the model again"},
      {"w=a,w=b,w",
       {"w", "w", "w"},
       {"a", "b", ""},
       {},
       all,
       "The model reads the column 'w' both as numbers and as categories; an export reads each "
       "column once"},
      {"c=a,c=b,w",
       {"c", "c", "w"},
       {"a", "b", ""},
       {std::string("N\0A", 3)},
       {ExportLanguage::C, ExportLanguage::Sql},
       "A missing-value text of the table holds a NUL byte after 'N', which no C string can "
       "hold"},
      {"c=a,c=b,w",
       {"c", "c", "w"},
       {"a", "b", ""},
       {"\t"},
       {ExportLanguage::Sql},
       "A missing-value text of the table holds the control character 0x09 as its first byte, "
       "which SQL code cannot hold"},
      {"c=a\tb,c=b,w",
       {"c", "c", "w"},
       {"a\tb", "b", ""},
       {},
       {ExportLanguage::Sql},
       "A category of column 'c' holds the control character 0x09 after 'a', which SQL code "
       "cannot hold"},
  };
  for (const Case& c : cases) {
    ModelRules rules = modelOf("Attributes=" + c.attributes + patterns);
    rules.readCategories(c.columns, c.values, c.missing);
    ASSERT_TRUE(rules.hasCategories());
    for (const ExportLanguage language : all) {
      const bool refused =
          std::find(c.refusing.begin(), c.refusing.end(), language) != c.refusing.end();
      try {
        exportedCode(rules, language, "M", "m.h");
        EXPECT_FALSE(refused) << c.message;
      } catch (const LadError& e) {
        EXPECT_TRUE(refused) << e.what();
        if (language == c.refusing.front()) {
          EXPECT_EQ(e.what(), c.message);
        }
      }
    }
  }
}
