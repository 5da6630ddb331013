#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "LadError.h"
#include "NumberText.h"

TEST(NumberText, WritesFifteenSignificantDigitsFixedOrScientific) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.5, "0.5"},
      {1.0 / 3.0, "0.333333333333333"},
      {0.0001, "0.0001"},
      {0.000123, "0.000123"},
      {0.00001, "1E-5"},
      {0.0000123, "1.23E-5"},
      {1200, "1200"},
      {1e15, "1E15"},
      {999999999999999.0, "999999999999999"},
      {-2.5, "-2.5"},
      {0.0, "0"},
      {-0.0, "0"},
      {3.0, "3"},
      {1234567890123.125, "1234567890123.13"},  // exact tie rounds away from zero
      {-1234567890123.125, "-1234567890123.13"},
      {0.649324127200233, "0.649324127200233"},
      {-0.163376446562287, "-0.163376446562287"},
      {0.00875230963726542, "0.00875230963726542"},
      {0.1 + 0.2, "0.3"},
      {9.9999999999999999e14, "1E15"},
      {1.5e300, "1.5E300"},
      {-2.5e-300, "-2.5E-300"},
  };
  for (const auto& c : cases) EXPECT_EQ(numberText(c.value, NumberFormat{}), c.text) << c.text;
}

TEST(NumberText, ReadsTheNumberTextForm) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"0.5", 0.5},    {" 0.5 ", 0.5}, {"-2.5", -2.5},
      {"+3", 3},       {"1e3", 1000},  {"1E-5", 1e-5},
      {"2.", 2},       {".25", 0.25},  {"-0.294350809", -0.294350809},
      {"1e-400", 0.0}, {"007", 7},     {"1.5e+2", 150},
  };
  for (const auto& c : cases) EXPECT_EQ(numberFromText(c.text, NumberFormat{}), c.value) << c.text;
}

TEST(NumberText, RefusesEverythingElseWithTheConversionMessage) {
  for (const char* text : {"", " ", "\t1", "1\t", "1,000", "1,5", "abc", "1e", "e5", "--1", "+-1",
                           "1e400", "-1e400", ".", "1.2.3", "0x10", "inf", "nan", "1 2"}) {
    try {
      numberFromText(text, NumberFormat{});
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid floating point value");
    }
  }
}

TEST(NumberText, TheFormatGivesTheDecimalSeparator) {
  const NumberFormat comma{","};
  EXPECT_EQ(numberText(0.5, comma), "0,5");
  EXPECT_EQ(numberText(1.23e-5, comma), "1,23E-5");
  EXPECT_EQ(numberFromText("0,25", comma), 0.25);
  EXPECT_THROW(numberFromText("0.6", comma), EConvertError);
  EXPECT_EQ(numberText(0.5, NumberFormat{}), "0.5");
  EXPECT_THROW(numberFromText("0,25", NumberFormat{}), EConvertError);
}

TEST(NumberText, Integers) {
  EXPECT_EQ(integerFromText("42"), 42);
  EXPECT_EQ(integerFromText("-7"), -7);
  EXPECT_EQ(integerFromText(" 8 "), 8);
  EXPECT_EQ(integerFromText("2147483647"), 2147483647);
  for (const char* text : {"", "x", "1.5", "2147483648", "+-1", "-", "1e3"}) {
    try {
      integerFromText(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(integerText(-12), "-12");
  EXPECT_EQ(spinValue("8"), 8);
  EXPECT_EQ(spinValue("eight"), 0);
  EXPECT_EQ(spinValue("99999999999"), 0);
}

// The exact form: the fewest digits from 15 to 17 that read back as the value itself.
TEST(NumberText, ExactFormReadsBackAsTheValue) {
  const NumberFormat dot;
  const std::pair<double, const char*> cases[] = {
      {0.1, "0.1"},
      {0.30000000000000004, "0.30000000000000004"},
      {1.0 / 3, "0.3333333333333333"},
      {std::numeric_limits<double>::max(), "1.7976931348623157E308"},
      {-std::numeric_limits<double>::max(), "-1.7976931348623157E308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {1234567890123.125, "1234567890123.125"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(exactNumberText(value, dot), text);
    EXPECT_EQ(numberFromText(exactNumberText(value, dot), dot), value) << text;
  }
  // Where 15 digits suffice the exact form is the usual one.
  for (const double value : {0.5, 1e-5, 1e15, -2.5, 0.069911099}) {
    EXPECT_EQ(exactNumberText(value, dot), numberText(value, dot));
  }
}
