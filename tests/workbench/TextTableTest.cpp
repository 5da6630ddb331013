#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "LadError.h"
#include "TempDir.h"
#include "TextFile.h"
#include "TextTable.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows rowsOf(const TextTable& table) {
  Rows rows(table.rows());
  for (std::size_t r = 0; r < table.rows(); ++r) {
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      rows[r].emplace_back(table.field(r, c));
    }
  }
  return rows;
}

std::string refusal(const std::string& text, const std::string& source, char separator = 0) {
  try {
    readTextTable(text, source, TextTableOptions{separator});
  } catch (const LadError& e) {
    return e.what();
  }
  return "no refusal";
}

struct ReadCase {
  const char* name;
  std::string text;
  char separatorGiven;
  std::vector<std::string> columns;
  Rows rows;
  char separator;
};

struct RefusalCase {
  const char* name;
  std::string text;
  // The message, from its start (after the source name).
  std::string message;
};

}  // namespace

TEST(TextTable, ReadsCsv) {
  const ReadCase cases[] = {
      {"plain", "a,b\n1,2\n3,4\n", 0, {"a", "b"}, {{"1", "2"}, {"3", "4"}}, ','},
      {"no final line break", "a,b\n1,2", 0, {"a", "b"}, {{"1", "2"}}, ','},
      {"CR LF", "a,b\r\n1,2\r\n", 0, {"a", "b"}, {{"1", "2"}}, ','},
      {"quoted fields and doubled quotes",
       "\"a\",\"b \"\"x\"\"\"\n\"1\",\"\"\"\"\n",
       0,
       {"a", "b \"x\""},
       {{"1", "\""}},
       ','},
      {"separator and line breaks inside quotes",
       "a,b\n\"1,5\",\"two\nlines\"\n\"x\r\ny\",\n",
       0,
       {"a", "b"},
       {{"1,5", "two\nlines"}, {"x\r\ny", ""}},
       ','},
      {"spaces kept; a quote inside an unquoted field is text",
       "a,b\n 1 ,x\"y\n",
       0,
       {"a", "b"},
       {{" 1 ", "x\"y"}},
       ','},
      {"a CR not before LF is text", "a,b\n1\r2,3\r\n", 0, {"a", "b"}, {{"1\r2", "3"}}, ','},
      {"empty fields and a final separator",
       "a,b,c\n,,\n1,,\n",
       0,
       {"a", "b", "c"},
       {{"", "", ""}, {"1", "", ""}},
       ','},
      {"byte-order mark skipped", "\xEF\xBB\xBFid,b\n1,2\n", 0, {"id", "b"}, {{"1", "2"}}, ','},
      {"blank lines skipped",
       "\n\r\na,b\n\n1,2\r\n\r\n\n3,4\n\n",
       0,
       {"a", "b"},
       {{"1", "2"}, {"3", "4"}},
       ','},
      {"empty index name as pandas writes", ",x\n0,1\n", 0, {"", "x"}, {{"0", "1"}}, ','},
      {"two empty names", ",,x\n0,1,2\n", 0, {"", "", "x"}, {{"0", "1", "2"}}, ','},
      {"semicolon found", "a;b;c\n1,5;2;3\n", 0, {"a", "b", "c"}, {{"1,5", "2", "3"}}, ';'},
      {"tab found", "a\tb,c\td\n1\t2,5\t3\n", 0, {"a", "b,c", "d"}, {{"1", "2,5", "3"}}, '\t'},
      {"comma wins a tie", "a,b;c\n1,2;3\n", 0, {"a", "b;c"}, {{"1", "2;3"}}, ','},
      {"separators inside quotes not counted",
       "\"a;b;c\",d\n1,2\n",
       0,
       {"a;b;c", "d"},
       {{"1", "2"}},
       ','},
      {"one column, no separator", "name\nx\n", 0, {"name"}, {{"x"}}, ','},
      {"separator given", "a,b;c\n1,2;3\n", ';', {"a,b", "c"}, {{"1,2", "3"}}, ';'},
      {"header only", "a,b\n", 0, {"a", "b"}, {}, ','},
  };
  for (const ReadCase& each : cases) {
    SCOPED_TRACE(each.name);
    const TextTable table =
        readTextTable(each.text, "t.csv", TextTableOptions{each.separatorGiven});
    EXPECT_FALSE(table.arff);
    EXPECT_EQ(table.separator, each.separator);
    EXPECT_EQ(table.columns, each.columns);
    EXPECT_EQ(table.kinds,
              std::vector<DeclaredKind>(each.columns.size(), DeclaredKind::Undeclared));
    EXPECT_EQ(table.nominalValues.size(), each.columns.size());
    EXPECT_EQ(rowsOf(table), each.rows);
  }
}

TEST(TextTable, RowLinesCountBlankLinesAndBreaksInQuotes) {
  const TextTable table = readTextTable("a,b\n\n1,\"x\ny\"\n2,3\r\n\r\n4,5", "t.csv");
  ASSERT_EQ(table.rows(), 3u);
  EXPECT_EQ(table.line(0), 3u);
  EXPECT_EQ(table.line(1), 5u);
  EXPECT_EQ(table.line(2), 7u);
  EXPECT_THROW(table.line(3), ERangeError);
  EXPECT_THROW(table.field(0, 2), ERangeError);
  EXPECT_THROW(table.field(3, 0), ERangeError);
}

TEST(TextTable, RefusesBadCsv) {
  const RefusalCase cases[] = {
      {"empty", "", "t.csv: the file holds no table"},
      {"only blank lines and a mark", "\xEF\xBB\xBF\n\r\n", "t.csv: the file holds no table"},
      {"too few fields", "a,b,c\n1,2,3\n\n1,2\n",
       "t.csv, line 4: the row has 2 fields but the header has 3; every row needs one field per "
       "column"},
      {"too many fields", "a,b\n1,2,3\n",
       "t.csv, line 2: the row has 3 fields but the header has 2"},
      {"one field", "a,b\n1\n", "t.csv, line 2: the row has 1 field but the header has 2"},
      {"field count after a quoted line break", "a,b\n\"x\ny\",1\n2\n",
       "t.csv, line 4: the row has 1 field"},
      {"quote left open", "a,b\n1,2\n3,\"x,4\n5,6\n",
       "t.csv, line 3, column 3: the quote that opens field 2 is never closed"},
      {"text after a closing quote", "a,b\n1,2\n\"é\"x,2\n",
       "t.csv, line 3, column 4: the quoted field 1 is followed by 'x,2'; a closing quote must "
       "be followed by the separator ','"},
      {"space after a closing quote", "a;b\n\"1\" ;2\n",
       "t.csv, line 2, column 4: the quoted field 1 is followed by ' ;2'; a closing quote must "
       "be followed by the separator ';'"},
      {"duplicate names", "x,a,b,a\n1,2,3,4\n",
       "t.csv, line 1: columns 2 and 4 are both named 'a'; every column needs a name of its own"},
      {"duplicate names, one quoted", "\n\"a\",a\n", "t.csv, line 2: columns 1 and 2 are both"},
  };
  for (const RefusalCase& each : cases) {
    SCOPED_TRACE(each.name);
    EXPECT_EQ(refusal(each.text, "t.csv").substr(0, each.message.size()), each.message);
  }
  EXPECT_EQ(refusal("a|b\n", "t.csv", '|').substr(0, 12), "t.csv: '|' c");
}

TEST(TextTable, ReadsArff) {
  const std::string weather =
      "% The weather, as Weka's samples have it\n"
      "@RELATION weather\n"
      "\n"
      "@Attribute outlook {sunny, overcast, 'rainy day'}\n"
      "@attribute 'temp (F)' REAL\n"
      "@attribute \"hum\\\"id\" integer % a comment after the type\n"
      "@attribute note string\n"
      "@attribute when date \"yyyy-MM-dd HH:mm:ss\"\n"
      "@attribute n numeric\n"
      "@attribute windy{TRUE,FALSE}\n"
      "@DATA\n"
      "sunny,85,85,'it\\'s hot',\"2001-04-03 12:12:12\",1.5,FALSE\n"
      "% a comment between rows\n"
      "  'rainy day' , ? ,96 , 'a\\\\b, \\%c' , ? , -2 , TRUE\r\n"
      "\n"
      "?,1e3,?,?,'x',?,?";
  const TextTable table = readTextTable(weather, "w.arff");
  EXPECT_TRUE(table.arff);
  EXPECT_EQ(table.separator, 0);
  EXPECT_EQ(table.columns, (std::vector<std::string>{"outlook", "temp (F)", "hum\"id", "note",
                                                     "when", "n", "windy"}));
  using K = DeclaredKind;
  EXPECT_EQ(table.kinds, (std::vector<K>{K::Nominal, K::Numeric, K::Numeric, K::Text, K::Text,
                                         K::Numeric, K::Nominal}));
  EXPECT_EQ(table.nominalValues[0], (std::vector<std::string>{"sunny", "overcast", "rainy day"}));
  EXPECT_TRUE(table.nominalValues[1].empty());
  EXPECT_EQ(table.nominalValues[6], (std::vector<std::string>{"TRUE", "FALSE"}));
  EXPECT_EQ(rowsOf(table),
            (Rows{{"sunny", "85", "85", "it's hot", "2001-04-03 12:12:12", "1.5", "FALSE"},
                  {"rainy day", "", "96", "a\\b, %c", "", "-2", "TRUE"},
                  {"", "1e3", "", "", "x", "", ""}}));
  EXPECT_EQ(table.line(0), 12u);
  EXPECT_EQ(table.line(1), 14u);
  EXPECT_EQ(table.line(2), 16u);
}

TEST(TextTable, ReadsArffEscapes) {
  const TextTable table = readTextTable(
      "@relation r\n@attribute s string\n@data\n'\\t\\n\\001\\u00e9\\q'\n\"?\"\n", "e.arff");
  EXPECT_EQ(rowsOf(table), (Rows{{"\t\n\001\xC3\xA9q"}, {"?"}}));
}

TEST(TextTable, TellsArffFromCsv) {
  EXPECT_TRUE(looksLikeArff("% c\n\n  @Relation x\n"));
  EXPECT_TRUE(looksLikeArff("\xEF\xBB\xBF@relation\n"));
  EXPECT_FALSE(looksLikeArff("@relationship,b\n1,2\n"));
  EXPECT_FALSE(looksLikeArff("a,b\n@relation\n"));
  EXPECT_FALSE(looksLikeArff(""));
}

TEST(TextTable, RefusesBadArff) {
  const std::string head = "@relation r\n@attribute a numeric\n@attribute c {x, y}\n";
  const RefusalCase cases[] = {
      {"sparse row", head + "@data\n1,x\n{0 1, 1 y}\n",
       "w.arff, line 6: the row is in sparse form ({index value, ...}), which this reader does "
       "not read; save the file in dense form"},
      {"relational", "@relation r\n@attribute bag relational\n@attribute x numeric\n@end bag\n",
       "w.arff, line 2: attribute 'bag' is relational"},
      {"undeclared value", head + "@data\n1,x\n2, z \n",
       "w.arff, line 6, column 4: 'z' is not a declared value of attribute 'c'; its values are "
       "'x', 'y' (or ? for a missing value)"},
      {"quoted ? is a value", head + "@data\n1,'?'\n",
       "w.arff, line 5, column 3: '?' is not a declared"},
      {"case of a value matters", head + "@data\n1,X\n", "w.arff, line 5, column 3: 'X' is not"},
      {"unknown type", "@relation r\n@attribute a nmeric\n@data\n",
       "w.arff, line 2: '@attribute a nmeric' is not an attribute declaration: 'nmeric' is not a "
       "type; an attribute is declared as @attribute NAME TYPE"},
      {"no type", "@relation r\n@attribute a\n@data\n",
       "w.arff, line 2: '@attribute a' is not an "
       "attribute declaration: it has no type"},
      {"no name", "@relation r\n@attribute\n@data\n",
       "w.arff, line 2: '@attribute' is not an "
       "attribute declaration: it has no name"},
      {"open list", "@relation r\n@attribute a {x, y\n@data\n",
       "w.arff, line 2: '@attribute a {x, y' is not an attribute declaration: its list of values "
       "has no closing }"},
      {"text after the type", "@relation r\n@attribute a numeric x\n@data\n",
       "w.arff, line 2: '@attribute a numeric x' is not an attribute declaration: text 'x' "
       "follows the type"},
      {"value twice", "@relation r\n@attribute a {x,y,x}\n@data\n",
       "w.arff, line 2: '@attribute a {x,y,x}' is not an attribute declaration: its list holds 'x' "
       "twice"},
      {"quote left open in a name", "@relation r\n@attribute 'a numeric\n@data\n",
       "w.arff, line 2, column 12: the quote ''' is never closed on its line"},
      {"data before @data", head + "1,x\n@data\n", "w.arff, line 4: '1,x' comes before @data"},
      {"no @data", head + "\n% end\n", "w.arff: the ARFF file has no @data line"},
      {"no attribute", "@relation r\n@data\n",
       "w.arff, line 2: the ARFF file declares no attribute"},
      {"two attributes of one name", head + "@attribute 'a' string\n@data\n",
       "w.arff, line 4: attributes 1 and 3 are both named 'a'"},
      {"unknown declaration", "@relation r\n@attributes a numeric\n@data\n",
       "w.arff, line 2: '@attributes' is not a declaration this reader knows"},
      {"too few values", head + "@data\n1\n",
       "w.arff, line 5: the row has 1 value but 2 attributes are declared"},
      {"too many values", head + "@data\n1,x,3\n", "w.arff, line 5: the row has 3 values but 2"},
      {"empty value", head + "@data\n,x\n",
       "w.arff, line 5, column 1: value 1 is empty; ARFF writes a missing value as ?"},
      {"text after a quoted value", head + "@data\n'1' 2,x\n",
       "w.arff, line 5, column 5: value 1 is followed by '2,x'; values are separated by commas"},
      {"instance weight", head + "@data\n1,x,{2}\n",
       "w.arff, line 5, column 5: the row ends with a weight"},
  };
  for (const RefusalCase& each : cases) {
    SCOPED_TRACE(each.name);
    EXPECT_EQ(refusal(each.text, "w.arff").substr(0, each.message.size()), each.message);
  }
}

// Files as Python's pandas and liac-arff write them. The script exits 77 when one is missing.
class TextTableFromPython : public TempDirTest {
 protected:
  bool written(const std::string& kind) {
    const std::string command = std::string(LAD_PYTHON3) + " " + LAD_TEST_SCRIPTS_DIR +
                                "/write_text_tables.py " + kind + " " + dir.string();
    const int status = std::system(command.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return false;
    EXPECT_EQ(status, 0) << command;
    return status == 0;
  }
};

TEST_F(TextTableFromPython, PandasCsv) {
  if (!written("pandas")) GTEST_SKIP() << "pandas is not installed";
  for (const char* name : {"nonnumeric.csv", "minimal.csv"}) {
    SCOPED_TRACE(name);
    const TextTable table = readTextTable(readTextFile(path(name)), name);
    EXPECT_EQ(table.columns, (std::vector<std::string>{"", "x", "label, \"quoted\"", "class"}));
    EXPECT_EQ(rowsOf(table), (Rows{{"0", "1.5", "plain", "1"},
                                   {"1", "", "with \"quotes\", and a comma", "0"},
                                   {"2", "-3.25", "two\nlines", "1"},
                                   {"3", "4.0", "", "0"}}));
  }
  const TextTable excel = readTextTable(read(path("excel.csv")), "excel.csv");
  EXPECT_EQ(excel.separator, ';');
  EXPECT_EQ(excel.columns[1], "x");
  EXPECT_EQ(excel.rows(), 4u);
}

TEST_F(TextTableFromPython, LiacArff) {
  if (!written("liac-arff")) GTEST_SKIP() << "liac-arff is not installed";
  const TextTable table = readTextTable(readTextFile(path("liac.arff")), "liac.arff");
  EXPECT_EQ(table.columns, (std::vector<std::string>{"x", "colour name", "it's", "class"}));
  using K = DeclaredKind;
  EXPECT_EQ(table.kinds, (std::vector<K>{K::Numeric, K::Nominal, K::Text, K::Nominal}));
  EXPECT_EQ(table.nominalValues[1], (std::vector<std::string>{"red", "dark blue", "o'range"}));
  EXPECT_EQ(rowsOf(table), (Rows{{"1.5", "red", "plain", "yes"},
                                 {"", "dark blue", "with 'quotes', a comma \\ and %", "no"},
                                 {"-3.25", "", "tab\there", "yes"},
                                 {"4.0", "o'range", "", "no"}}));
}
