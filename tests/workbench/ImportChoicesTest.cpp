// What Open Data decides before it shows the import dialog, and the defaults the dialog offers:
// whether a text is read in the plain form, and what the table reading chooses untold.
#include <gtest/gtest.h>

#include "TableIntake.h"
#include "TableReading.h"
#include "TextTable.h"

namespace {

const NumberFormat kPoint{"."};

// A spreadsheet's export where the comma is the decimal separator: ";" between quoted fields,
// text classes, an id, a date, categories and missing values of three kinds.
const std::string kPatients =
    "\"patient\";\"age\";\"colour\";\"weight\";\"sample date\";\"outcome\"\n"
    "\"p01\";\"34\";\"red\";\"61,5\";\"2024-01-02\";\"sick\"\n"
    "\"p02\";\"51\";\"blue\";\"\";\"2024-01-03\";\"well\"\n"
    "\"p03\";\"?\";\"red\";\"80,1\";\"2024-01-04\";\"sick\"\n"
    "\"p04\";\"29\";\"NA\";\"55\";\"2024-01-05\";\"well\"\n";

TEST(ImportChoices, TellsThePlainFormFromTablesReadByALayout) {
  struct Case {
    const char* what;
    std::string text;
    bool plain;
  };
  const Case cases[] = {
      {"plain", "Name,A,B,Class\na,1,2,1\nb,2,3,0\n", true},
      {"plain with a class of 1.9", "Name,A,Class\na,1,1.9\nb,2,0\nc,3,1\n", true},
      {"semicolons and text classes", kPatients, false},
      {"text classes", "Name,A,Class\na,1,yes\nb,2,no\n", false},
      {"a Class column before the last", "Name,Class,A\na,1,2\nb,0,3\n", false},
      {"three whole-number classes", "Name,A,Class\na,1,0\nb,2,1\nc,3,2\n", false},
      {"ARFF", "@relation r\n@attribute a numeric\n@attribute c {0,1}\n@data\n1,0\n2,1\n",
       false},
      // No form reads these as a table: the plain form's refusal stays what the user sees.
      {"one column", "hello\nworld\n", true},
      {"empty", "", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readsInPlainForm(c.text, "t.csv", kPoint), c.plain) << c.what;
  }
}

TEST(ImportChoices, DefaultsAreWhatTheReadingChoosesUntold) {
  const TextTable file = readTextTable(kPatients, "p.csv");
  const ReadingDefaults d = readingDefaults(file, kPoint);
  EXPECT_EQ(d.classColumn, 5u);
  ASSERT_TRUE(d.idColumn.has_value());
  EXPECT_EQ(*d.idColumn, 0u);
  // age and weight (decimal commas in a ";" file) are numbers; colour and the date are not.
  EXPECT_EQ(d.categorical, (std::vector<bool>{false, false, true, false, true, false}));

  const TextTable classFirst = readTextTable("Class,A,B\n1,2,x\n0,3,y\n", "c.csv");
  const ReadingDefaults c = readingDefaults(classFirst, kPoint);
  EXPECT_EQ(c.classColumn, 0u);
  EXPECT_FALSE(c.idColumn.has_value());  // the class cannot also name the rows
  EXPECT_EQ(c.categorical, (std::vector<bool>{false, false, true}));

  const TextTable namedClass = readTextTable("id,class,a\nr,1,2\ns,0,3\n", "n.csv");
  EXPECT_EQ(readingDefaults(namedClass, kPoint).classColumn, 1u);
}

TEST(ImportChoices, ClassesAndWhetherAPositiveOneMustBeChosen) {
  const TextTable file = readTextTable(kPatients, "p.csv");
  const std::vector<std::string> classes = columnClasses(file, 5, defaultMissingTexts(), kPoint);
  EXPECT_EQ(classes, (std::vector<std::string>{"sick", "well"}));
  EXPECT_TRUE(positiveClassNeeded(classes, kPoint));
  EXPECT_FALSE(positiveClassNeeded({"0", "1"}, kPoint));
  EXPECT_FALSE(positiveClassNeeded({"a", "b", "c"}, kPoint));  // one model per class
  // A missing text is no class; numbers come in their order, not the texts'.
  const TextTable numbers = readTextTable("n,c\na,10\nb,?\nc,9\nd,NA\ne,2\n", "n.csv");
  EXPECT_EQ(columnClasses(numbers, 1, defaultMissingTexts(), kPoint),
            (std::vector<std::string>{"2", "9", "10"}));
}

TEST(ImportChoices, SummaryCountsRowsAttributesClassesAndMissingValues) {
  ReadingOptions options;
  options.positive = "sick";
  const ReadTable table = readTrainingTable(kPatients, "p.csv", options, kPoint);
  // Attributes: age, weight, colour = blue/red, and the four dates; missing: the empty weight,
  // age ?, and colour NA (all of its attributes).
  EXPECT_EQ(readTableSummary(table), "4 rows, 8 attributes, 2 classes, 4 missing values.");
}

}  // namespace
