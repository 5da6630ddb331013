// The pattern sets of a build hold, for each description, the first pattern found with it in
// the subset order, at any thread count: checked against that rule applied plainly to every
// box the search hands over.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ModelBuilding.h"
#include "SearchData.h"
#include "SubsetSearch.h"
#include "SubsetSweep.h"

namespace {

// Values whose neighbouring cutpoints differ only past the 15 digits of their texts, so that
// boxes over different bins of one subset share a description, beside plain ones.
TrainingTable collidingTable() {
  matreal values;
  arrint classes;
  for (int r = 0; r < 48; ++r) {
    const double close = 1 + 1e-16 * 4 * (r % 8);  // eight values that all read "1"
    values.push_back({close, static_cast<double>((r * 5) % 11), static_cast<double>((r * 7) % 13),
                      r % 3 == 0 ? 2.0 : 2.0 + 1e-16 * 8 * (r % 5)});
    classes.push_back((r % 8 < 3) != (r % 11 < 4) ? 1 : 0);
  }
  return TrainingTable("A,B,C,D", values, classes, NumberFormat{});
}

// Description and coordinates of every pattern of a side, in key order.
std::vector<std::string> entries(const PatternSet& side) {
  std::vector<std::string> out;
  for (std::int32_t i = 0; i < side.size(); ++i) {
    out.push_back(std::string(side.key(i)) + " " + patternText(side.pattern(i)));
  }
  return out;
}

}  // namespace

TEST(PatternMerge, FirstPatternOfEachDescriptionAtEveryThreadCount) {
  const TrainingTable table = collidingTable();
  for (const std::int32_t degree : {2, 3}) {
    const LearningParameters parameters{8, degree, 0.6, 0.05, 0.4, 0.05};
    // Every box in the order the build takes them, through a source that records them.
    std::vector<std::pair<arrint, SubsetPatterns>> handed;
    const Model recorded =
        buildModel(table, parameters, {},
                   [&](const SearchData& data, std::int32_t attributes, std::int32_t d,
                       const TakeSubset& take) {
                     searchEverySubset(data, attributes, d, {},
                                       [&](const arrint& map, const SubsetPatterns& found) {
                                         handed.emplace_back(map, found);
                                         take(map, found);
                                       });
                   });

    // The rule applied plainly: the first box of each description keeps it.
    std::map<std::string, std::string> first[2];
    bool sharedWithinASubset = false;
    for (const auto& [map, found] : handed) {
      const std::vector<std::int32_t>* sides[] = {&found.positive, &found.negative};
      for (int side = 0; side < 2; ++side) {
        std::set<std::string> here;
        const auto d = static_cast<std::size_t>(found.dims);
        for (std::size_t at = 0; at + 2 * d <= sides[side]->size(); at += 2 * d) {
          const PatternView box{
              {sides[side]->data() + at, d}, {sides[side]->data() + at + d, d}, map};
          const std::string description = recorded.describe(box);
          sharedWithinASubset = sharedWithinASubset || !here.insert(description).second;
          first[side].emplace(description, patternText(box));
        }
      }
    }
    EXPECT_TRUE(sharedWithinASubset) << "the table gives no boxes of one subset the same text";
    std::vector<std::string> expected[2];
    for (int side = 0; side < 2; ++side) {
      for (const auto& [description, text] : first[side])
        expected[side].push_back(description + " " + text);
    }
    ASSERT_FALSE(expected[0].empty());
    ASSERT_FALSE(expected[1].empty());
    EXPECT_EQ(entries(recorded.positive()), expected[0]) << degree;
    EXPECT_EQ(entries(recorded.negative()), expected[1]) << degree;

    for (const int threads : {1, 2, 3}) {
      BuildControl control;
      control.threads = threads;
      const Model model = buildModel(table, parameters, control);
      EXPECT_EQ(entries(model.positive()), expected[0]) << degree << " " << threads;
      EXPECT_EQ(entries(model.negative()), expected[1]) << degree << " " << threads;
    }
  }
}
