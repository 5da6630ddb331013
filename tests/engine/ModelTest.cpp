#include <gtest/gtest.h>

#include "Intake.h"
#include "LadError.h"
#include "SampleTable.h"
#include "TLAD.h"

namespace {

TLAD threeAttributes() {
  TLAD model({8, 2, 0, 0, 0, 0});
  model.attributes = "A,B,C";
  model.attList = std::make_unique<TSSList>();
  model.attList->parse(model.attributes);
  model.cutpoints = {{1.5, 3, 4.25}, {0.2, 0.7}, {10, 20}};
  return model;
}

TInterval pattern(const arrint& a, const arrint& b, const arrint& map) {
  TInterval p(static_cast<std::int32_t>(a.size()));
  p.a = a;
  p.b = b;
  p.map = map;
  return p;
}

}  // namespace

TEST(Desc, ConditionsOnCutpoints) {
  TLAD model = threeAttributes();
  EXPECT_EQ(model.desc(pattern({1, 0}, {2, 1}, {0, 2})), ",>=1.5 & <4.25,,<20");
  EXPECT_EQ(model.desc(pattern({2, 0}, {3, 0}, {0, 1})), ",>=3,<0.2,");
  EXPECT_EQ(model.desc(pattern({0, 0}, {3, 2}, {0, 2})), ",,,");  // spans every bin

  TLAD five({8, 2, 0, 0, 0, 0});
  five.attributes = "a,b,c,d,e";
  five.attList = std::make_unique<TSSList>();
  five.attList->parse(five.attributes);
  five.cutpoints = {{}, {1, 2, 3}, {}, {7.5, 9}, {}};
  EXPECT_EQ(five.desc(pattern({2, 0}, {3, 0}, {1, 3})), ",,>=2,,<7.5,");
}

TEST(BuildModel, SampleTable) {
  auto model = intake(LearningParameters{}, sampleTable(), NumberFormat{});
  model->buildModel();
  ASSERT_EQ(model->pospandect->size(), 113);
  ASSERT_EQ(model->negpandect->size(), 91);
  EXPECT_EQ(model->pospandect->key(0), ",,,,,,>=-0.294350809 & <0.334246251");
  EXPECT_EQ(model->negpandect->key(0), ",,,,,,<-0.294350809");
  EXPECT_EQ(patternText(model->pospandect->pattern(0)), "0:7:4,1:6:5");
  for (const TPandect* pandect : {model->pospandect.get(), model->negpandect.get()}) {
    for (std::int32_t i = 0; i < pandect->size(); ++i) {
      EXPECT_EQ(pandect->key(i), model->desc(pandect->pattern(i)));
      if (i > 0) {
        EXPECT_LT(compareKeys(pandect->key(i - 1), pandect->key(i)), 0);
      }
    }
  }
}

TEST(BuildModel, EqualDescriptionsFromDifferentSubsetsCountOnce) {
  // Attribute B has a single bin: each pattern of degree 2 spans it, so the subsets {A,B}
  // and {A,C} (C likewise) give the same descriptions as each other.
  TLAD model({8, 2, 0.6, 0.1, 0.4, 0.1});
  model.attributes = "A,B,C";
  model.data = {{1, 5, 5}, {2, 5, 5}, {3, 5, 5}, {4, 5, 5}};
  model.classvector = {1, 1, 0, 0};
  model.sizes = {4, 4, 4};
  model.buildModel();
  EXPECT_EQ(model.sizes, (arrint{4, 2, 2}));
  EXPECT_EQ(model.pospandect->keys(), (std::vector<std::string>{",<4,,"}));
  EXPECT_EQ(model.negpandect->keys(), (std::vector<std::string>{",>=2,,"}));

  // A degree above the attribute count searches one subset of all attributes.
  TLAD wide({8, 9, 0.6, 0.1, 0.4, 0.1});
  wide.attributes = "A";
  wide.data = {{1}, {2}, {3}, {4}};
  wide.classvector = {1, 1, 0, 0};
  wide.sizes = {4};
  wide.buildModel();
  EXPECT_EQ(wide.pospandect->keys(), (std::vector<std::string>{",<4"}));
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
    TLAD model({8, c.degree, 0.6, 0.1, 0.4, 0.1});
    for (int r = 0; r < 16; ++r) {
      arrreal row(c.columns);
      for (std::size_t k = 0; k < c.columns; ++k) row[k] = (r * 7 + static_cast<int>(k)) % 16;
      model.data.push_back(row);
      model.classvector.push_back(r % 2);
    }
    model.sizes.assign(c.columns, c.grid);
    std::string names = "a0";
    for (std::size_t k = 1; k < c.columns; ++k) names += ",a" + std::to_string(k);
    model.attributes = names;
    try {
      model.buildModel();
      ADD_FAILURE() << "no failure for degree " << c.degree;
    } catch (const LadError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}
