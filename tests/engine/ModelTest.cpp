#include <gtest/gtest.h>

#include "Intake.h"
#include "LadError.h"
#include "SampleTable.h"
#include "ModelBuilding.h"

namespace {

// A model of these attributes and cut points, without patterns.
Model unlearned(std::vector<std::string> names, matreal cutpoints) {
  return Model(std::move(names), CutpointGrid(std::move(cutpoints)), PatternSet(), PatternSet(),
               NumberFormat{});
}

// A table of the attributes named in `line`, with its values and classes.
TrainingTable table(const std::string& line, matreal values, arrint classes) {
  return TrainingTable(line, std::move(values), std::move(classes), NumberFormat{});
}

PatternBox pattern(const arrint& a, const arrint& b, const arrint& map) {
  PatternBox p(static_cast<std::int32_t>(a.size()));
  p.a = a;
  p.b = b;
  p.map = map;
  return p;
}

}  // namespace

TEST(Desc, ConditionsOnCutpoints) {
  const Model model = unlearned({"A", "B", "C"}, {{1.5, 3, 4.25}, {0.2, 0.7}, {10, 20}});
  EXPECT_EQ(model.describe(pattern({1, 0}, {2, 1}, {0, 2})), ",>=1.5 & <4.25,,<20");
  EXPECT_EQ(model.describe(pattern({2, 0}, {3, 0}, {0, 1})), ",>=3,<0.2,");
  EXPECT_EQ(model.describe(pattern({0, 0}, {3, 2}, {0, 2})), ",,,");  // spans every bin

  const Model five = unlearned({"a", "b", "c", "d", "e"}, {{}, {1, 2, 3}, {}, {7.5, 9}, {}});
  EXPECT_EQ(five.describe(pattern({2, 0}, {3, 0}, {1, 3})), ",,>=2,,<7.5,");
}

TEST(BuildModel, SampleTable) {
  const Model model = buildModel(intake(LearningParameters{}, sampleTable(), NumberFormat{}),
                                 LearningParameters{});
  ASSERT_EQ(model.positive().size(), 113);
  ASSERT_EQ(model.negative().size(), 91);
  EXPECT_EQ(model.positive().key(0), ",,,,,,>=-0.294350809 & <0.334246251");
  EXPECT_EQ(model.negative().key(0), ",,,,,,<-0.294350809");
  EXPECT_EQ(patternText(model.positive().pattern(0)), "0:7:4,1:6:5");
  for (const PatternSet* side : {&model.positive(), &model.negative()}) {
    for (std::int32_t i = 0; i < side->size(); ++i) {
      EXPECT_EQ(side->key(i), model.describe(side->pattern(i)));
      if (i > 0) {
        EXPECT_LT(compareKeys(side->key(i - 1), side->key(i)), 0);
      }
    }
  }
}

TEST(BuildModel, EqualDescriptionsFromDifferentSubsetsCountOnce) {
  // Attribute B has a single bin: each pattern of degree 2 spans it, so the subsets {A,B}
  // and {A,C} (C likewise) give the same descriptions as each other.
  const Model model =
      buildModel(table("A,B,C", {{1, 5, 5}, {2, 5, 5}, {3, 5, 5}, {4, 5, 5}}, {1, 1, 0, 0}),
                 {4, 2, 0.6, 0.1, 0.4, 0.1});
  EXPECT_EQ(model.grid().binCounts(), (arrint{4, 2, 2}));
  EXPECT_EQ(model.positive().keys(), (std::vector<std::string>{",<4,,"}));
  EXPECT_EQ(model.negative().keys(), (std::vector<std::string>{",>=2,,"}));

  // A degree above the attribute count searches one subset of all attributes.
  const Model wide = buildModel(table("A", {{1}, {2}, {3}, {4}}, {1, 1, 0, 0}),
                                {4, 9, 0.6, 0.1, 0.4, 0.1});
  EXPECT_EQ(wide.positive().keys(), (std::vector<std::string>{",<4"}));
}

TEST(BuildModel, RefusesWhatItCannotSearch) {
  const struct {
    std::int32_t degree, grid;
    std::size_t columns;
    const char* message;
  } cases[] = {
      {0, 8, 3, "Degree must be at least 1 (it is 0)"},
      {-2, 8, 3, "Degree must be at least 1 (it is -2)"},
      {11, 8, 11,
       "The grid of an attribute subset of 11 attributes would have more than "
       "2147483647 cells; lower the Grid Size or the Degree"},
  };
  for (const auto& c : cases) {
    matreal values;
    arrint classes;
    for (int r = 0; r < 16; ++r) {
      arrreal row(c.columns);
      for (std::size_t k = 0; k < c.columns; ++k) row[k] = (r * 7 + static_cast<int>(k)) % 16;
      values.push_back(row);
      classes.push_back(r % 2);
    }
    std::string names = "a0";
    for (std::size_t k = 1; k < c.columns; ++k) names += ",a" + std::to_string(k);
    try {
      buildModel(TrainingTable(names, values, classes, NumberFormat{}),
                 {c.grid, c.degree, 0.6, 0.1, 0.4, 0.1});
      ADD_FAILURE() << "no failure for degree " << c.degree;
    } catch (const LadError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}
