// The Data tab's summary of a table: its lines cut into fields, and per attribute the range,
// mean, missing values and histogram by class, checked by hand on small tables.
#include <gtest/gtest.h>

#include <cmath>

#include "TableReading.h"
#include "TableSummary.h"
#include "TextTable.h"

TEST(TableLines, CutsLinesIntoFieldsAndSkipsEmptyOnes) {
  const TableLines table("Name,A,B,Class\r\nx,1,2,1\r\n\r\ny,3\n");
  ASSERT_EQ(table.header().size(), 4u);
  EXPECT_EQ(table.header()[3], "Class");
  ASSERT_EQ(table.rows(), 2u);
  EXPECT_EQ(table.fields(0), (std::vector<std::string_view>{"x", "1", "2", "1"}));
  EXPECT_EQ(table.fields(1), (std::vector<std::string_view>{"y", "3"}));
  EXPECT_EQ(table.lineNumber(1), 4u);
  EXPECT_EQ(TableLines("").rows(), 0u);
  EXPECT_EQ(TableLines("Name,A,Class").rows(), 0u);
}

TEST(TableLines, OfATableAsTheFileReadingCutsIt) {
  // Quoted fields holding the separator, a quote, a line end and the unit separator itself.
  const TableLines table(readTextTable("id;note;Class\r\n"
                                       "a;\"x; \"\"y\"\"\";1\r\n"
                                       "b;\"two\nlines\";0\r\n"
                                       "c;\"odd\x1f" "byte\";1\r\n",
                                       "t.csv"));
  EXPECT_EQ(table.header(), (std::vector<std::string>{"id", "note", "Class"}));
  ASSERT_EQ(table.rows(), 3u);
  EXPECT_EQ(table.fields(0), (std::vector<std::string_view>{"a", "x; \"y\"", "1"}));
  EXPECT_EQ(table.fields(1), (std::vector<std::string_view>{"b", "two\nlines", "0"}));
  EXPECT_EQ(table.fields(2), (std::vector<std::string_view>{"c", "odd byte", "1"}));
  EXPECT_EQ(table.lineNumber(2), 5u);
}

TEST(TableSummary, RangeMeanMissingAndHistogramByClass) {
  // A: 0, 10, 5, 2.5 over four rows; B: one missing (empty), one "?", one text, one short line.
  const TableLines table(
      "Name,A,B,Class\n"
      "p1,0,1,1\n"
      "p2,10,,1\n"
      "n1,5,?,0\n"
      "n2,2.5,abc,0\n"
      "o1,1,2\n");  // a short line: B is missing and its class is 2
  const TableSummary s = summarizeTable(table, NumberFormat{}, 4);
  EXPECT_EQ(s.rows, 5);
  EXPECT_EQ(s.positives, 2);
  EXPECT_EQ(s.negatives, 2);
  EXPECT_EQ(s.others, 1);
  ASSERT_EQ(s.attributes.size(), 2u);
  const AttributeSummary& a = s.attributes[0];
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.values, 5);
  EXPECT_EQ(a.missing, 0);
  EXPECT_DOUBLE_EQ(a.minimum, 0);
  EXPECT_DOUBLE_EQ(a.maximum, 10);
  EXPECT_DOUBLE_EQ(a.mean, 18.5 / 5);
  // Bins of width 2.5: [0,2.5) holds 0 (class 1) and 1 (class 2); [2.5,5) 2.5; [5,7.5) 5; the
  // maximum 10 falls in the last bin.
  EXPECT_EQ(a.positive, (std::vector<std::int64_t>{1, 0, 0, 1}));
  EXPECT_EQ(a.negative, (std::vector<std::int64_t>{0, 1, 1, 0}));
  EXPECT_EQ(a.other, (std::vector<std::int64_t>{1, 0, 0, 0}));
  const AttributeSummary& b = s.attributes[1];
  EXPECT_EQ(b.values, 1);
  EXPECT_EQ(b.missing, 3);
  EXPECT_EQ(b.notNumbers, 1);
  EXPECT_DOUBLE_EQ(b.mean, 1);
  EXPECT_EQ(b.positive, (std::vector<std::int64_t>{1, 0, 0, 0}));  // one value: the first bin
}

TEST(TableSummary, ReadsNumbersInTheTablesFormatAndSurvivesOddTables) {
  NumberFormat comma;
  comma.decimalSeparator = ",";
  // With a decimal comma the fields are still cut at commas, as Build Model cuts them; a field
  // like "1,5" is two fields, so this table's values are whole numbers.
  const TableSummary s = summarizeTable(TableLines("N,A,Class\nx,3,1\ny,4,0\n"), comma);
  EXPECT_DOUBLE_EQ(s.attributes[0].mean, 3.5);
  // A header of one field has no attribute; a value that is not finite counts as not a number.
  EXPECT_TRUE(summarizeTable(TableLines("Name\nx\n"), NumberFormat{}).attributes.empty());
  const TableSummary odd =
      summarizeTable(TableLines("N,A,Class\nx,1e999,1\ny,nan,0\n"), NumberFormat{});
  EXPECT_EQ(odd.attributes[0].values + odd.attributes[0].notNumbers, 2);
  EXPECT_TRUE(odd.attributes[0].values == 0 ? std::isnan(odd.attributes[0].mean)
                                            : std::isfinite(odd.attributes[0].mean));
}

TEST(TableSummary, OfATableReadAsTheUserSaid) {
  // ';' separated, a decimal comma, an id first, the class in the middle with text values,
  // a category column and missing values written as "" and "NA".
  ReadingOptions options;
  options.classColumn = "outcome";
  options.positive = "sick";
  const ReadTable read = readTrainingTable(
      "id;outcome;weight;colour\n"
      "a;sick;60,5;red\n"
      "b;well;;blue\n"
      "c;sick;70;NA\n"
      "d;well;80,5;red\n",
      "t.csv", options, NumberFormat{});
  const TableSummary s = summarizeTable(read, 2);
  EXPECT_EQ(s.rows, 4);
  EXPECT_EQ(s.positives, 2);
  EXPECT_EQ(s.negatives, 2);
  EXPECT_EQ(s.others, 0);
  EXPECT_EQ(s.positiveClass, "sick");
  EXPECT_EQ(s.negativeClass, "well");
  std::vector<std::string> names;
  for (const AttributeSummary& a : s.attributes) names.push_back(a.name);
  EXPECT_EQ(names, (std::vector<std::string>{"weight", "colour=blue", "colour=red"}));
  const AttributeSummary& weight = s.attributes[0];
  EXPECT_EQ(weight.values, 3);
  EXPECT_EQ(weight.missing, 1);
  EXPECT_DOUBLE_EQ(weight.mean, (60.5 + 70 + 80.5) / 3);
  // Bins [60.5, 70.5) and [70.5, 80.5]: the sick rows weigh 60.5 and 70, the well one 80.5.
  EXPECT_EQ(weight.positive, (std::vector<std::int64_t>{2, 0}));
  EXPECT_EQ(weight.negative, (std::vector<std::int64_t>{0, 1}));
  const AttributeSummary& red = s.attributes[2];
  EXPECT_EQ(red.values, 3);
  EXPECT_EQ(red.missing, 1);
  EXPECT_DOUBLE_EQ(red.mean, 2.0 / 3);
}
