#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "ApplyModel.h"
#include "InMemoryModel.h"
#include "LadError.h"
#include "Observations.h"
#include "SampleTable.h"
#include "TempDir.h"

namespace {

class InMemoryModelTest : public TempDirTest {};

std::string failureOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const LadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

// A model built in memory writes the files Build Model writes, scores rows as Apply Model
// does, and comes back from its text scoring the same.
TEST_F(InMemoryModelTest, BuildsScoresAndTravelsAsBuildAndApplyDo) {
  const std::string table = sampleTable();
  runBuildModel({}, table, path("built"), {});
  const BuiltModel built = buildModelInMemory({}, table, {});
  const std::shared_ptr<const Model> model = built.model;
  writeModelFiles(*model, built.table, built.parameters, path("memory"), {}, {});
  for (const char* extension : {".MOD", ".PAT", ".DES", ".GRD"}) {
    EXPECT_EQ(read(path("memory") + extension), read(path("built") + extension)) << extension;
  }

  std::vector<double> scoresOfApply;
  ApplyReport report;
  report.scored = [&](const std::string&, const std::string&, double s) {
    scoresOfApply.push_back(s);
  };
  runApplyModel(path("built"), table, report, NumberFormat{});
  const ObservationTable rows = ObservationTable::read(table, NumberFormat{});
  std::vector<double> values;
  for (std::size_t r = 0; r < rows.rows(); ++r) {
    values.insert(values.end(), rows.values(r).begin(), rows.values(r).end());
  }
  std::vector<double> scores(rows.rows());
  scoreRows(*model, values.data(), rows.rows(), rows.width(), scores.data());
  EXPECT_EQ(scores, scoresOfApply);

  const std::string text = modelText(*model);
  EXPECT_EQ(text, read(path("built.MOD")));
  const std::shared_ptr<const Model> copy = modelFromText(text, NumberFormat{});
  std::vector<double> copyScores(rows.rows());
  scoreRows(*copy, values.data(), rows.rows(), rows.width(), copyScores.data());
  EXPECT_EQ(copyScores, scores);
  EXPECT_EQ(modelAttributeCount(*copy), rows.attributeNames().size());

  // Too few columns for the patterns, as Apply Model refuses them.
  EXPECT_NE(failureOf([&] {
              scoreRows(*model, values.data(), 1, 1, scores.data());
            }).find("attribute column(s)"),
            std::string::npos);
}

// The table text carries every double exactly, whatever digits it needs.
TEST_F(InMemoryModelTest, TableTextReadsBackAsTheValues) {
  const std::vector<double> values = {
      0.1 + 0.2, -0.0, 5e-324, 1.7976931348623157e308, 123456789012345678.0, 1.0 / 3.0};
  const int classes[] = {1, 0, 1};
  const std::string text = tableTextOfValues({"a", "b"}, values.data(), 3, classes, NumberFormat{});
  const ObservationTable read = ObservationTable::read(text, NumberFormat{});
  ASSERT_EQ(read.rows(), 3u);
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t k = 0; k < 2; ++k) {
      // -0.0 reads back as 0, which every comparison of the engine takes as equal.
      EXPECT_EQ(read.values(r)[k], values[r * 2 + k]) << r << "," << k;
    }
    EXPECT_EQ(read.observationClass(r), classes[r]);
  }

  const int badClass[] = {1, 2, 0};
  EXPECT_EQ(failureOf([&] {
              tableTextOfValues({"a", "b"}, values.data(), 3, badClass, {});
            }),
            "Row 2 has the class 2; a class is 0 or 1");
  EXPECT_EQ(failureOf([&] {
              tableTextOfValues({"a", "b,c"}, values.data(), 3, classes, {});
            }),
            "Attribute 2 is named 'b,c'; a name may hold no comma");
}

TEST_F(InMemoryModelTest, RefusalsNameTheirCause) {
  // A damaged text is named as a text, not as the scratch file it passed through.
  const std::string damaged = failureOf([] { modelFromText("Attributes=a\r\nNonsense\r\n", {}); });
  EXPECT_EQ(damaged.rfind("the model text, line 2: ", 0), 0u) << damaged;

  std::atomic<bool> cancel{true};
  BuildOptions options;
  options.control.cancel = &cancel;
  EXPECT_EQ(failureOf([&] { buildModelInMemory({}, sampleTable(), options); }), "Build cancelled");
}
